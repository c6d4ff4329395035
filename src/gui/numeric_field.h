// The widget side of the key rule: a text field that filters what is typed into it.
#pragma once

#include <QLineEdit>
#include <functional>

// A text field that applies FilterKey to typed characters. Pasted, dropped or composed text
// is taken whole, as if typed, or refused with a beep: when it holds anything the filter would
// drop, or would make the field longer than its maximum (which would otherwise cut it).
class NumericField : public QLineEdit {
    Q_OBJECT
  public:
    explicit NumericField(QWidget* parent = nullptr);

    // Without an action, Enter is dropped with a beep like any other refused key.
    void SetEnterAction(std::function<void()> action);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // Whether `inserted`, put in place of the selection or at the cursor, keeps the field
    // within the key rule and its maximum length; beeps when it does not.
    bool FitsElseBeep(const QString& inserted, bool overSelection) const;
    void PasteWhole(const QString& clip);

    std::function<void()> enterAction;
};
