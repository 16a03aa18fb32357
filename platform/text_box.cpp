#include "platform/text_box.h"

#include "components/dispatch/call_wait.h"
#include "platform/event_watcher.h"

#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vizmo::platform {

namespace {

// A text of many paragraphs put or pasted into a multi-line box replaces the
// box's document by one built a slice at a time: Qt builds a document's
// paragraphs at about 10 ms per 2,500 of them (1 MiB of short lines held the
// window for 140 to 200 ms in one go). Between slices the window paints; no
// handler runs until the text is in (the wait holds them, see call_wait.h),
// and the user's input waits in the queue. Such a paste cannot be undone (the
// new document has no history). A few long paragraphs gain nothing: their
// cost is Qt laying them out, which cannot be cut into slices.
constexpr qsizetype kManyParagraphs = 1000;
constexpr int kParagraphsPerPiece = 500;
constexpr int kSliceMs = 8;

bool manyParagraphs(const QString& text)
{
    return text.size() >= kManyParagraphs &&
           text.count(QLatin1Char('\n')) + text.count(QChar::ParagraphSeparator) >= kManyParagraphs;
}

// The end of the piece that starts at `from`: after its last paragraph's separator.
qsizetype pieceEnd(const QString& raw, qsizetype from)
{
    qsizetype end = from;
    for (int n = 0; n < kParagraphsPerPiece; ++n) {
        end = raw.indexOf(QChar::ParagraphSeparator, end);
        if (end < 0)
            return raw.size();
        ++end;
    }
    return end;
}

// `raw` uses U+2029 between paragraphs, as QTextDocument::toRawText gives it.
// Built here, on the box's own thread: Qt's text classes stay on it.
QTextDocument* buildInSlices(const QString& raw, const QFont& font)
{
    auto* document = new QTextDocument;
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(font);
    QTextCursor cursor(document);
    qsizetype done = 0;
    dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
        QElapsedTimer slice;
        slice.start();
        while (done < raw.size() && slice.elapsed() < kSliceMs) {
            const qsizetype end = pieceEnd(raw, done);
            cursor.insertText(raw.mid(done, end - done));
            done = end;
        }
        return done >= raw.size();
    });
    return document;
}

class Editor : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    void setLargeText(const QString& text, int cursorAt)
    {
        QTextDocument* next = buildInSlices(text, document()->defaultFont());
        next->setDocumentLayout(new QPlainTextDocumentLayout(next));
        next->setParent(this);  // the editor deletes it when it is replaced in turn
        setDocument(next);
        QTextCursor cursor(next);
        cursor.setPosition(std::min(cursorAt, next->characterCount() - 1));
        setTextCursor(cursor);
    }

protected:
    void insertFromMimeData(const QMimeData* source) override
    {
        QString pasted = source->hasText() ? source->text() : QString();
        pasted.replace(QLatin1String("\r\n"), QString(QChar::ParagraphSeparator));
        pasted.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
        pasted.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
        if (isReadOnly() || !manyParagraphs(pasted))
            return QPlainTextEdit::insertFromMimeData(source);
        const QTextCursor cursor = textCursor();
        QString whole = document()->toRawText();
        whole.replace(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), pasted);
        setLargeText(whole, cursor.selectionStart() + int(pasted.size()));
    }
};

QWidget* makeEditor(QWidget* parent, TextBox::Lines lines)
{
    if (lines == TextBox::Lines::Single)
        return new QLineEdit(parent);
    auto* edit = new Editor(parent);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    return edit;
}

bool losesFocusToWindow(const QFocusEvent* event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}
}  // namespace

TextBox::TextBox(QWidget* parent, ErrorReporter& reporter, Lines lines)
    : Control(makeEditor(parent, lines), reporter), multiLine_(lines == Lines::Multi)
{
    new EventWatcher(widget(), QEvent::FocusOut, [this](QEvent* event) {
        if (losesFocusToWindow(static_cast<QFocusEvent*>(event)))
            raise(lostFocusHandler_);
    }, connections());
}

QLineEdit* TextBox::lineEdit() const { return static_cast<QLineEdit*>(widget()); }

QPlainTextEdit* TextBox::plainTextEdit() const { return static_cast<QPlainTextEdit*>(widget()); }

QString TextBox::text() const
{
    if (!multiLine_)
        return lineEdit()->text();
    QString text = plainTextEdit()->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void TextBox::setText(const QString& text)
{
    if (!multiLine_) {
        lineEdit()->setText(text);
        return;
    }
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (manyParagraphs(plain))
        static_cast<Editor*>(plainTextEdit())->setLargeText(plain.replace(QLatin1Char('\n'), QChar::ParagraphSeparator), 0);
    else
        plainTextEdit()->setPlainText(plain);
}

}  // namespace vizmo::platform
