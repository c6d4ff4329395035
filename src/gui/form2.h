// The ledger window: the amount field, the two booking buttons, the ledger field and the
// File menu. It shows the ledger and passes on what the user asks for; it holds no ledger.
#pragma once

#include "core/ledger.h"

#include <QMainWindow>

class NumericField;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

class Form2 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form2(QWidget* parent = nullptr);

    // The ledger text, every line ended by CR LF; at the close, the enciphered ledger while
    // the window goes.
    void ShowLedger(const QString& text);
    // What became of a booking the window asked for: its lines on top, else a beep or a box.
    void ShowBooking(const BookingOutcome& outcome);

  signals:
    // The close box was used. The window stays open: the close sequence decides.
    void CloseRequested();
    // A booking button was clicked, with amount typed.
    void BookingRequested(Booking kind, const QString& amount);
    // The File menu's commands, for the sequences that own them.
    void SaveUcTxt_Chosen();
    void ChaPass_Chosen();
    void ExitNoEc_Chosen();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetUpWindow();
    void SetUpFields();
    void SetUpAccessibleNames();
    void Connect();

    void Plus_Click();
    void Minus_Click();

    QWidget* const client; // the client area below the menu bar; parent of the controls
    NumericField* const Text1;
    QPlainTextEdit* const txtData;
    QPushButton* const Minus;
    QPushButton* const Plus;
    QLabel* const Label1;
    QMenu* const File;
    QAction* const SaveUcTxt;
    QAction* const ChaPass;
    QAction* const ExitNoEc;
};
