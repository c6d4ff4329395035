// The Change PIN window: asks for the start-up PIN, then a new PIN twice, and hands the
// new PIN to the ledger window for its next save.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <initializer_list>

class QLabel;
class QLineEdit;
class NumericField;

class Form3 : public QWidget {
    Q_OBJECT
  public:
    // startupPin gives the PIN typed at start-up, the only one the old PIN is checked
    // against; ledgerPinHolder receives the new PIN; ledgerWindow is shown again however
    // this window closes. The window deletes itself when closed.
    Form3(std::function<QString()> startupPin, QLineEdit* ledgerPinHolder, QWidget* ledgerWindow);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void CheckOldPin();
    void AskConfirmPin();
    void CheckNewPin();
    void ApplyNewPin();
    void Form_Unload();
    // Empties the fields before the message, so the box never sits over a wrong entry.
    void Refuse(const QString& prompt, std::initializer_list<QLineEdit*> emptied, QLineEdit* focus);

    std::function<QString()> startupPin;
    QPointer<QLineEdit> ledgerPinHolder;
    QPointer<QWidget> ledgerWindow;

    NumericField* txtKey1;
    NumericField* txtKey2;
    NumericField* txtKey3;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
};
