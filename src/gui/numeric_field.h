// The widget side of the key rule: a text field that filters what is typed into it.
#pragma once

#include <QLineEdit>
#include <functional>

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
