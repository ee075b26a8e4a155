// The engine's Editor over the real text box: what the engine writes it reads back exactly,
// what the user types or pastes it reads with CR LF line breaks.
#include "linebreaks.h"
#include "textbox.h"
#include "textboxeditor.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include <memory>
#include <string>
#include <vector>

using namespace hiragana;

Q_DECLARE_METATYPE(std::u16string)

namespace {
using Texts = std::vector<std::u16string>;
}
Q_DECLARE_METATYPE(Texts)

class WindowEditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void readsBackWhatItWrote_data();
    void readsBackWhatItWrote();
    void aWriteChangesOnlyTheEndThatDiffers();
    void typedTextReadsWithCrLf();
    void pastedTextReadsWithCrLf();
    void aLoneCarriageReturnSurvivesTheUsersEdits();
    void placesTheCaretByCodeUnits();
    void takesTheFocus();

private:
    // The box's text as it stands, read straight from its document.
    std::u16string boxText() const { return FromDocumentText(m_box->document()->toRawText()); }

    std::unique_ptr<TextBox> m_box;
    std::unique_ptr<TextBoxEditor> m_editor;
};

void WindowEditorTest::init()
{
    m_box = std::make_unique<TextBox>();
    m_editor = std::make_unique<TextBoxEditor>(*m_box);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowActive(m_box.get()));
}

void WindowEditorTest::cleanup()
{
    m_editor.reset();
    m_box.reset();
}

// Each row is a sequence of writes; after each the engine and the box agree exactly. The
// sequences walk the append, cut and replace paths, across line breaks and surrogate pairs.
void WindowEditorTest::readsBackWhatItWrote_data()
{
    QTest::addColumn<Texts>("writes");
    QTest::newRow("confirms") << Texts{u"が", u"がっ", u"がっこ", u"がっこう"};
    QTest::newRow("new line then back-space") << Texts{u"か", u"か\r\n", u"か"};
    QTest::newRow("CR then its LF") << Texts{u"a", u"a\r", u"a\r\n", u"a\r\nb"};
    QTest::newRow("cut between CR and LF") << Texts{u"a\r\nb", u"a\r", u"a"};
    QTest::newRow("lone CR in the middle") << Texts{u"a\rb", u"a\rbc", u"a\r"};
    QTest::newRow("lone LF") << Texts{u"a\nb", u"a\n", u"a\nc"};
    QTest::newRow("surrogate pairs") << Texts{u"\U00020BB7", u"\U00020BB7\U0001F600", u"\U00020BB7"};
    QTest::newRow("replace last") << Texts{u"あか", u"あ", u"あが"};
    QTest::newRow("empty") << Texts{u"", u"\r\n", u"", u"x"};
    QTest::newRow("spaces") << Texts{u"\u3000", u"\u3000\u00A0\t", u"\u3000"};
}

void WindowEditorTest::readsBackWhatItWrote()
{
    QFETCH(Texts, writes);
    for (const std::u16string &text : writes) {
        m_editor->SetText(text);
        QCOMPARE(m_editor->Text(), text);
        if (text.find(u'\n') == std::u16string::npos || text.find(u"\r\n") != std::u16string::npos)
            QCOMPARE(boxText(), text);
    }
}

// A long text is not written anew for every key: an append only adds, a cut only removes.
void WindowEditorTest::aWriteChangesOnlyTheEndThatDiffers()
{
    const std::u16string body(10000, u'あ');
    struct Change {
        std::u16string before, after;
        int removed, added;
    };
    for (const Change &change : {Change{body, body + u"か", 0, 1}, Change{body + u"\r\n\U00020BB7", body, 3, 0}}) {
        m_editor->SetText(change.before);
        QSignalSpy changes(m_box->document(), &QTextDocument::contentsChange);
        m_editor->SetText(change.after);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), 10000); // where the change starts
        QCOMPARE(changes.at(0).at(1).toInt(), change.removed);
        QCOMPARE(changes.at(0).at(2).toInt(), change.added);
        QCOMPARE(boxText(), change.after);
    }
}

void WindowEditorTest::typedTextReadsWithCrLf()
{
    m_editor->SetText(u"か");
    m_editor->SetSelStart(1);
    QTest::keyClicks(m_box.get(), QStringLiteral("ab"));
    QTest::keyClick(m_box.get(), Qt::Key_Return);
    QTest::keyClicks(m_box.get(), QStringLiteral("c"));
    QTest::keyClick(m_box.get(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(m_box.get(), QStringLiteral("d"));
    QCOMPARE(m_editor->Text(), std::u16string(u"かab\r\nc\r\nd"));

    QTest::keyClick(m_box.get(), Qt::Key_Backspace);
    QTest::keyClick(m_box.get(), Qt::Key_Backspace);
    QCOMPARE(m_editor->Text(), std::u16string(u"かab\r\nc"));
    // The engine's next write builds on what it read.
    m_editor->SetText(m_editor->Text() + u"き");
    QCOMPARE(boxText(), std::u16string(u"かab\r\ncき"));
}

void WindowEditorTest::pastedTextReadsWithCrLf()
{
    m_editor->SetText(u"か");
    m_editor->SetSelStart(1);
    QApplication::clipboard()->setText(QStringLiteral("x\ny\r\nz\rw\u2028v"));
    m_box->paste();
    QCOMPARE(m_editor->Text(), std::u16string(u"かx\r\ny\r\nz\r\nw\r\nv"));
}

void WindowEditorTest::aLoneCarriageReturnSurvivesTheUsersEdits()
{
    m_editor->SetText(u"a\rb");
    m_editor->SetSelStart(3);
    QTest::keyClicks(m_box.get(), QStringLiteral("c"));
    QCOMPARE(m_editor->Text(), std::u16string(u"a\rbc"));
}

void WindowEditorTest::placesTheCaretByCodeUnits()
{
    m_editor->SetText(u"a\r\n\U00020BB7b");
    const int positions[] = {0, 1, 2, 2, 3, 4, 5};
    for (std::size_t offset = 0; offset < std::size(positions); ++offset) {
        m_editor->SetSelStart(offset);
        QCOMPARE(m_box->textCursor().position(), positions[offset]);
        QVERIFY(!m_box->textCursor().hasSelection());
    }
    // Also after the user changed the text.
    QTest::keyClicks(m_box.get(), QStringLiteral("c"));
    m_editor->SetSelStart(m_editor->Text().size());
    QCOMPARE(m_box->textCursor().position(), 6);
}

void WindowEditorTest::takesTheFocus()
{
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    m_box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_box.get()));
    m_editor->SetFocus();
    QTRY_VERIFY(m_box->hasFocus());
}

QTEST_MAIN(WindowEditorTest)
#include "window_editor_gui_test.moc"
