// The ledger window: the amount field, the two booking buttons, the ledger field and the
// File menu. The ledger text itself lives in a Ledger; the ledger field is its view.
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

    // The exact ledger text, every line ended by CR LF.
    const QString& LedgerText() const { return ledger.Text(); }
    void SetLedgerText(const QString& text);
    // Shows the enciphered ledger in the ledger field while the window goes.
    void ShowEnciphered(const QString& text);

  signals:
    // The close box was used. The window stays open: the close sequence decides.
    void CloseRequested();
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
    void Book(Booking kind);

    QWidget* const client; // the client area below the menu bar; parent of the controls
    NumericField* const Text1;
    QPlainTextEdit* const txtData;
    QPlainTextEdit* const Text2;
    QPushButton* const Minus;
    QPushButton* const Plus;
    QLabel* const Label1;
    QMenu* const File;
    QAction* const SaveUcTxt;
    QAction* const ChaPass;
    QAction* const ExitNoEc;

    Ledger ledger;
};
