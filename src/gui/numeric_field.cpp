#include "gui/numeric_field.h"

#include "core/key_filter.h"
#include "gui/runtime.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>

namespace {
// Guards every other way text can reach the field (an accessibility tool's edit, say).
class FilterValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (!IsFieldCharacter(c.unicode())) return Invalid;
        return Acceptable;
    }
};

// The character code a key press delivers; -1 for keys that type no character.
int CharacterCode(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return EnterCode;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return -1;
    default:
        break;
    }
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QString text = event->text();
    return text.isEmpty() ? -1 : text.front().unicode();
}
} // namespace

NumericField::NumericField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new FilterValidator(this));
}

void NumericField::SetEnterAction(std::function<void()> action) {
    enterAction = std::move(action);
}

void NumericField::keyPressEvent(QKeyEvent* event) {
    const int code = CharacterCode(event);
    if (code < 0 && event->matches(QKeySequence::Paste)) { // Shift+Insert; Ctrl+V is code 22
        event->accept();
        PasteWhole(QGuiApplication::clipboard()->text());
        return;
    }
    if (code < 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (FilterKey(code, bool(enterAction))) {
    case KeyVerdict::Pass:
        QLineEdit::keyPressEvent(event);
        return;
    case KeyVerdict::Enter:
        event->accept();
        enterAction();
        return;
    case KeyVerdict::Drop:
        event->accept();
        Rt().Beep();
        return;
    }
}

bool NumericField::FitsElseBeep(const QString& inserted, bool overSelection) const {
    bool fits = text().size() - (overSelection ? selectedText().size() : 0) + inserted.size() <=
                maxLength();
    for (const QChar c : inserted)
        fits = fits && IsFieldCharacter(c.unicode());
    if (!fits) Rt().Beep();
    return fits;
}

void NumericField::PasteWhole(const QString& clip) {
    if (!isReadOnly() && FitsElseBeep(clip, true)) insert(clip);
}

void NumericField::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    // The X11 selection goes in at the cursor, as Qt would put it, replacing nothing.
    const QString clip = clipboard->text(QClipboard::Selection);
    if (isReadOnly() || !FitsElseBeep(clip, false)) return;
    deselect();
    insert(clip);
}

void NumericField::dropEvent(QDropEvent* event) {
    // Text dragged within the field is already the field's own.
    if (event->source() != this && !FitsElseBeep(event->mimeData()->text(), false)) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

void NumericField::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !FitsElseBeep(event->commitString(), true)) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void NumericField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste is the one action wired to paste(): by name up to Qt 6.4, by pointer
    // after.
    for (QAction* action : menu->actions())
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this,
                    [this] { PasteWhole(QGuiApplication::clipboard()->text()); });
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
