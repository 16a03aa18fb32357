#include "platform/text_box.h"

#include "components/dispatch/call_wait.h"
#include "platform/event_watcher.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <utility>
#include <vector>

namespace vizmo::platform {

namespace {

// A text of many paragraphs put or pasted into a multi-line box goes into its
// document a slice at a time: Qt builds a document's paragraphs at about 10 ms
// per 2,500 of them (1 MiB of short lines held the window for 140 to 200 ms in
// one go). Between slices the window paints, though the box itself shows its
// old text until the new one is in; no handler runs until then (the wait holds
// them, see call_wait.h), and the user's keys wait in the platform's queue, so
// they land after the paste. The slices are one edit of the document: one undo
// takes a paste back, as it does a small one, and a put clears the history as
// a small put does. A few long paragraphs gain nothing: their cost is Qt
// laying them out, which cannot be cut into slices.
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

// The text with U+2029 between paragraphs, as QTextCursor::insertText takes it
// a piece at a time.
QString rawParagraphs(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::ParagraphSeparator));
    text.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
    text.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    return text;
}

class Editor : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    // The whole text, as a put: the history goes and the caret is at the start.
    void setLargeText(const QString& text)
    {
        document()->setUndoRedoEnabled(false);
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        replaceInSlices(all, rawParagraphs(text));
        document()->setUndoRedoEnabled(true);
        setTextCursor(QTextCursor(document()));
        insertHeldDrops();
    }

protected:
    void insertFromMimeData(const QMimeData* source) override
    {
        const QString pasted = source->hasText() ? rawParagraphs(source->text()) : QString();
        if (isReadOnly() || !manyParagraphs(pasted))
            return QPlainTextEdit::insertFromMimeData(source);
        QTextCursor selection = textCursor();
        replaceInSlices(selection, pasted);
        setTextCursor(selection);
        ensureCursorVisible();
        insertHeldDrops();
    }

    // A drop from another program is no input the platform keeps back while
    // the box is being filled: its text is kept and goes in at the caret once
    // the text being built is in (and before the keys typed meanwhile, which
    // the platform delivers after that). Nothing of the document is looked at
    // for it meanwhile: its layout is out of date until the edit ends.
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (!building_)
            return QPlainTextEdit::dragMoveEvent(event);
        if (canInsertFromMimeData(event->mimeData()))
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        if (!building_)
            return QPlainTextEdit::dropEvent(event);
        if (!canInsertFromMimeData(event->mimeData()))
            return event->ignore();
        // The source's data lasts only as long as the drop.
        heldDrops_.push_back(event->mimeData()->text());
        event->acceptProposedAction();
    }

private:
    // Replaces what `cursor` selects by `raw` (U+2029 between paragraphs), a
    // slice at a time, as one edit; `cursor` ends after the new text.
    void replaceInSlices(QTextCursor& cursor, const QString& raw)
    {
        building_ = true;
        viewport()->setUpdatesEnabled(false);  // no frame of a half-made edit
        cursor.beginEditBlock();
        cursor.removeSelectedText();
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
        cursor.endEditBlock();
        viewport()->setUpdatesEnabled(true);
        building_ = false;
    }

    // What was dropped while the text was built, at the caret, each an edit
    // of its own as a drop is.
    void insertHeldDrops()
    {
        for (const QString& text : std::exchange(heldDrops_, {})) {
            QMimeData dropped;
            dropped.setText(text);
            insertFromMimeData(&dropped);  // a large drop is built in slices in turn
        }
    }

    bool building_ = false;
    std::vector<QString> heldDrops_;
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
        static_cast<Editor*>(plainTextEdit())->setLargeText(plain);
    else
        plainTextEdit()->setPlainText(plain);
}

}  // namespace vizmo::platform
