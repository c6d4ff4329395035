// The start-up window: asks for the PIN, shows or hides it, and hands a valid one over
// to the ledger window.
#pragma once

#include "core/pin.h"

#include <QWidget>

class NumericField;
class QLabel;
class QPushButton;

class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);

  signals:
    // A four-digit PIN was entered: the ledger window is to open with it.
    void PinAccepted(const Pin& pin);
    // The close box was used. The window stays open: the run decides how it ends.
    void CloseRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetUpWindow();
    void SetUpFields();
    void SetUpButtons();
    void SetUpAccessibleNames();
    void Connect();

    // Enter in txtKey: reports an empty PIN or one that is not four digits, else asks for
    // the ledger window.
    void CheckPin();
    void Command1_Click();
    void Command2_Click();

    QPushButton* const Command2; // hides the PIN
    NumericField* const txtKey;
    QLabel* const Label1;
    QPushButton* const Command1; // shows the PIN
};
