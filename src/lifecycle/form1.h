// The start-up window: asks for the PIN, shows or hides it, and hands a valid one over
// to the ledger window.
#pragma once

#include <QWidget>
#include <memory>

class LedgerSession;
class NumericField;
class QLabel;
class QPushButton;

class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Enter in txtKey: reports an empty PIN or one that is not four digits, else opens the
    // ledger window.
    void CheckPin();
    void OpenLedgerWindow();

    // The ledger window's run, once a PIN has been handed over.
    LedgerSession* Session() const { return session.get(); }

    QPushButton* const Command2; // hides the PIN
    NumericField* const txtKey;
    QLabel* const Label1;
    QPushButton* const Command1; // shows the PIN

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Command1_Click();
    void Command2_Click();
    void Form_Unload();

    std::unique_ptr<LedgerSession> session;
};
