#include "gui/form3.h"
#include "support/scripted_runtime.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString StartupPin = QStringLiteral("1234");

// A message box and the three fields' texts while it was up.
struct Seen {
    QString prompt;
    MsgStyle style;
    QString title;
    QString fields;
    bool operator==(const Seen&) const = default;
    friend void PrintTo(const Seen& s, std::ostream* os) {
        *os << '"' << s.prompt.toStdString() << "\" " << int(s.style) << " \""
            << s.title.toStdString() << "\" fields " << s.fields.toStdString();
    }
};

class ChangePin : public ::testing::Test {
  protected:
    ScriptedRuntime rt;
    std::optional<Pin> chosen; // what the window handed on
    QWidget ledger;
    QPointer<Form3> form;
    std::vector<Seen> seen;

    void SetUp() override {
        rt.onBox = [this](const RecordedBox& box) {
            seen.push_back({box.prompt, box.style, box.title, Texts()});
        };
        Open();
    }
    void TearDown() override { delete form; }

    void Open() {
        form = new Form3(MakePin(StartupPin));
        QObject::connect(form, &Form3::NewPinChosen, [this](const Pin& pin) { chosen = pin; });
        QObject::connect(form, &Form3::Closing, &ledger, &QWidget::show);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }
    QLineEdit* Field(const QString& name) const { return form->findChild<QLineEdit*>(name); }
    QString Texts() const {
        return Field("txtKey1")->text() + '|' + Field("txtKey2")->text() + '|' +
               Field("txtKey3")->text();
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }

    // Types into whichever field has the focus, as a user would; '\r' is Enter.
    void Type(const QString& keys) {
        for (const QChar c : keys) {
            if (c == QLatin1Char('\r'))
                QTest::keyClick(Focused(), Qt::Key_Return);
            else
                QTest::keyClicks(Focused(), QString(c));
        }
    }
    // The rows on screen, as a string of visible field numbers.
    QString Rows() const {
        QString rows;
        for (int row = 1; row <= 3; ++row) {
            const QString n = QString::number(row);
            const bool field = Field("txtKey" + n)->isVisible();
            EXPECT_EQ(field, form->findChild<QLabel*>("Label" + n)->isVisible()) << row;
            if (field) rows += QString::number(row);
        }
        return rows;
    }
    bool Destroyed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }
    static Seen Refusal(const QString& prompt, const QString& fields) {
        return {prompt, MsgStyle::Critical, QStringLiteral(" Error "), fields};
    }
};

TEST_F(ChangePin, LaysOutTheDesignedWindow) {
    EXPECT_EQ(form->windowTitle(), "Change Pin");
    EXPECT_EQ(form->size(), QSize(294, 119));

    const QString newTip = " Enter New Pin & Press Return ";
    const struct {
        const char* name;
        QRect px;
        QString toolTip;
    } fields[] = {{"txtKey1", {128, 16, 40, 24}, " Enter Old Pin & Press Return "},
                  {"txtKey2", {128, 48, 40, 24}, newTip},
                  {"txtKey3", {128, 80, 40, 24}, newTip}};
    for (const auto& f : fields) {
        const QLineEdit* field = Field(f.name);
        ASSERT_TRUE(field) << f.name;
        EXPECT_EQ(field->geometry(), f.px) << f.name;
        EXPECT_EQ(field->toolTip(), f.toolTip) << f.name;
        QTest::keyClicks(Field(f.name), "12");
        EXPECT_EQ(field->displayText(), "**") << f.name;
        EXPECT_EQ(field->maxLength(), 4) << f.name;
        EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << f.name;
        EXPECT_EQ(field->font().family(), "Courier New") << f.name;
        EXPECT_TRUE(field->font().bold()) << f.name;
        EXPECT_FALSE(field->testAttribute(Qt::WA_InputMethodEnabled)) << f.name;
    }

    const struct {
        const char* name;
        QRect px;
        QString caption;
    } labels[] = {{"Label1", {48, 20, 73, 17}, "Old Pin"},
                  {"Label2", {48, 53, 73, 17}, "New Pin"},
                  {"Label3", {48, 85, 73, 17}, "Confirm Pin"}};
    for (const auto& l : labels) {
        const QLabel* label = form->findChild<QLabel*>(l.name);
        ASSERT_TRUE(label) << l.name;
        EXPECT_EQ(label->geometry(), l.px) << l.name;
        EXPECT_EQ(label->text(), l.caption) << l.name;
        EXPECT_TRUE(label->alignment() & Qt::AlignRight) << l.name;
        const QRect needed = QFontMetrics(label->font()).boundingRect(l.caption);
        EXPECT_LE(needed.width(), label->contentsRect().width()) << l.name;
        EXPECT_LE(needed.height(), label->contentsRect().height()) << l.name;
    }
}

TEST_F(ChangePin, RevealsTheRowsStepByStepAndTabsThroughThem) {
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Focused(), Field("txtKey1"));
    Type("1234\r");
    EXPECT_EQ(Rows(), "12");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    Type("\r"); // an empty new PIN still moves on to the confirmation
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey3"));
    EXPECT_TRUE(rt.boxes.empty());

    for (const char* next : {"txtKey1", "txtKey2", "txtKey3"}) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), Field(next));
    }
}

// What has been typed to reach each state, and the rows then shown.
struct Step {
    QString typed, rows;
    friend void PrintTo(const Step& s, std::ostream* os) { *os << "rows " << s.rows.toStdString(); }
};
class AtEachStep : public ChangePin, public ::testing::WithParamInterface<Step> {};
INSTANTIATE_TEST_SUITE_P(Steps, AtEachStep,
                         ::testing::Values(Step{"", "1"}, Step{"1234\r56", "12"},
                                           Step{"1234\r56\r7", "123"}));

TEST_P(AtEachStep, WrongOldPinEmptiesOnlyTheOldPinAndKeepsTheRows) {
    Type(GetParam().typed);
    const QString before = Texts();
    Field("txtKey1")->clear();
    Field("txtKey1")->setFocus();
    Type("12\r");
    EXPECT_EQ(seen, std::vector{Refusal("Incorrect Pin", "|" + before.section('|', 1))});
    EXPECT_EQ(Rows(), GetParam().rows);
    EXPECT_EQ(Focused(), Field("txtKey1"));
}

TEST_P(AtEachStep, CloseBoxBringsTheLedgerBackWithItsPin) {
    Type(GetParam().typed);
    form->close();
    EXPECT_TRUE(ledger.isVisible());
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(Destroyed());

    Open(); // a fresh window forgets what was typed
    EXPECT_EQ(Rows(), "1");
    for (const char* name : {"txtKey1", "txtKey2", "txtKey3"})
        EXPECT_TRUE(Field(name)->text().isEmpty()) << name;
}

TEST_F(ChangePin, NewPinsThatDoNotMatchAreRefused) {
    Type("1234\r1111\r2222\r");
    EXPECT_EQ(seen, std::vector{Refusal("New Pin Does Not Match", "1234||")});
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    EXPECT_FALSE(chosen);
    EXPECT_FALSE(Destroyed());
}

class MatchingButNotFourDigits : public ChangePin, public ::testing::WithParamInterface<QString> {};
INSTANTIATE_TEST_SUITE_P(Pins, MatchingButNotFourDigits,
                         ::testing::Values("", "1", "123", "12.4", "1%34", "&'(."));

TEST_P(MatchingButNotFourDigits, IsRefusedSoTheLedgerStaysSavable) {
    Type("1234\r" + GetParam() + "\r" + GetParam() + "\r");
    EXPECT_EQ(seen, std::vector{Refusal("Enter Pin 4 Numbers", "1234||")});
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    EXPECT_FALSE(chosen);
    EXPECT_FALSE(Destroyed());
}

class Accepted : public ChangePin, public ::testing::WithParamInterface<QString> {};
INSTANTIATE_TEST_SUITE_P(Pins, Accepted, ::testing::Values("5678", StartupPin, "0000"));

TEST_P(Accepted, HandsTheNewPinToTheLedgerAndCloses) {
    Type("1234\r" + GetParam() + "\r" + GetParam() + "\r");
    EXPECT_TRUE(rt.boxes.empty());
    EXPECT_EQ(chosen, Pin::FromText(GetParam()));
    EXPECT_TRUE(ledger.isVisible());
    EXPECT_TRUE(Destroyed());
}

TEST_F(ChangePin, OldPinIsAlwaysTheStartupPin) {
    Type("1234\r5678\r5678\r");
    ASSERT_TRUE(Destroyed());

    Open();
    Type("5678\r");
    EXPECT_EQ(seen, std::vector{Refusal("Incorrect Pin", "||")});
    EXPECT_EQ(Rows(), "1");
    Type("1234\r");
    EXPECT_EQ(Rows(), "12");
}

TEST_F(ChangePin, AWrongOldPinAfterTheNewRowDoesNotStopTheChange) {
    Type("1234\r9999\r");
    Field("txtKey1")->setFocus();
    Type("1111\r");
    Field("txtKey2")->setFocus();
    Type("\r9999\r");
    EXPECT_EQ(chosen, Pin::FromText(u"9999"));
    EXPECT_TRUE(Destroyed());
}
} // namespace
