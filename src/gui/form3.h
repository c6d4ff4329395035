// The Change PIN window: asks for the old PIN, then a new PIN twice, and hands the new PIN on
// for the ledger's next save.
#pragma once

#include "core/pin.h"

#include <QWidget>
#include <functional>
#include <initializer_list>

class QLabel;
class QLineEdit;
class NumericField;
struct BoxMessage;

class Form3 : public QWidget {
    Q_OBJECT
  public:
    // isOldPin tells whether a typed old PIN may change the PIN (the ledger's rule, not the
    // window's). The window deletes itself when closed.
    explicit Form3(std::function<bool(const QString&)> isOldPin, QWidget* parent = nullptr);

  signals:
    // The new PIN, typed twice alike.
    void NewPinChosen(const Pin& pin);
    // The window is closing, however it closes: the ledger window shows again.
    void Closing();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetUpWindow();
    void SetUpAccessibleNames();
    void Connect();

    void Form_Load();
    void CheckOldPin();
    void AskConfirmPin();
    void CheckNewPin();
    void ApplyNewPin(const Pin& pin);
    void Form_Unload();
    // Empties the fields before the message, so the box never sits over a wrong entry.
    void Refuse(const BoxMessage& box, std::initializer_list<QLineEdit*> emptied, QLineEdit* focus);

    const std::function<bool(const QString&)> isOldPin;

    NumericField* const txtKey1;
    NumericField* const txtKey2;
    NumericField* const txtKey3;
    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const Label3;
};
