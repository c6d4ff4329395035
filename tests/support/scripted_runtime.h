// Test double of the runtime: records every message box and answers it from a script,
// keeps a settable clock, and records program end instead of ending the test.
#pragma once

#include "gui/messages.h"
#include "gui/runtime.h"
#include "support/ledger_builder.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// A failing comparison names a box's style by its number.
inline void PrintTo(MsgStyle style, std::ostream* os) {
    *os << int(style);
}

struct RecordedBox {
    QString prompt;
    MsgStyle style;
    QString title;

    // The box the catalogue makes, so that tests never retype its text.
    friend bool operator==(const RecordedBox& shown, const BoxMessage& box) {
        return shown.prompt == box.prompt && shown.style == box.style && shown.title == box.title;
    }
    friend void PrintTo(const RecordedBox& box, std::ostream* os) {
        *os << int(box.style) << " \"" << box.title.toStdString()
            << "\": " << box.prompt.toStdString();
    }
};

class ScriptedRuntime : public Runtime {
  public:
    std::vector<RecordedBox> boxes;
    std::deque<MsgAnswer> answers; // answers for Yes/No boxes, in order; No when none is left
    int beeps = 0;
    int ends = 0;
    int usedAfterEnd = 0;               // services asked for once the run had ended: none may be
    std::vector<MousePointer> pointers; // every pointer set, in order
    int screenWidthTwips = 15360;
    // The clock: a fixed time unless a function is given.
    QDateTime now = QDateTime(FixedDay(), QTime(12, 0));
    std::function<QDateTime()> clock;
    // Runs while a box is "up", as a user's actions would between show and answer.
    std::function<void(const RecordedBox&)> onBox;

    ScriptedRuntime() { SetRuntime(this); }
    ~ScriptedRuntime() override { SetRuntime(nullptr); }

    MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title) override {
        usedAfterEnd += ends;
        boxes.push_back({prompt, style, title});
        if (onBox) onBox(boxes.back());
        if (style != MsgStyle::YesNoQuestion) return MsgAnswer::Ok;
        if (answers.empty()) return MsgAnswer::No;
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Beep() override {
        usedAfterEnd += ends;
        ++beeps;
    }
    QDateTime Now() override { return clock ? clock() : now; }
    int ScreenWidthTwips() override { return screenWidthTwips; }
    void SetMousePointer(MousePointer pointer) override {
        usedAfterEnd += ends;
        pointers.push_back(pointer);
    }
    void End() override {
        usedAfterEnd += ends;
        ++ends;
    }
};
