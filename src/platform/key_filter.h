// The one key rule of every PIN and amount field: digits and a few editing and
// punctuation codes pass, Enter runs the field's action where it has one, all else
// is dropped with a beep.
#pragma once

#include <QLineEdit>
#include <functional>

enum class KeyVerdict { Pass, Enter, Drop };

KeyVerdict FilterKey(int code, bool hasEnterAction);

// The look and limits shared by every PIN field: four characters masked with "*", centred,
// "Courier New" 9.75 point bold, no input method.
void MakePinField(QLineEdit* field);

// A text field that applies FilterKey to typed characters and refuses pasted,
// dropped or composed text holding anything the filter would drop.
class NumericField : public QLineEdit {
    Q_OBJECT
  public:
    explicit NumericField(QWidget* parent = nullptr);

    // Without an action, Enter is dropped with a beep like any other refused key.
    void SetEnterAction(std::function<void()> action);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::function<void()> enterAction;
};
