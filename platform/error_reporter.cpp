#include "platform/error_reporter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace vizmo::platform {

namespace {
QString keyOf(const dispatch::RuntimeError& error)
{
    return QString::number(error.number()) + QLatin1Char('\n') + error.description() + QLatin1Char('\n')
        + error.member();
}

QString applicationTitle()
{
    const QString display = QGuiApplication::applicationDisplayName();
    return display.isEmpty() ? QCoreApplication::applicationName() : display;
}
}  // namespace

MessageBoxErrorReporter::MessageBoxErrorReporter(QWidget* parent) : parent_(parent) {}

MessageBoxErrorReporter::~MessageBoxErrorReporter()
{
    delete box_.data();
}

void MessageBoxErrorReporter::report(const dispatch::RuntimeError& error)
{
    const QString key = keyOf(error);
    if (box_ && box_->isVisible() && key == shownKey_)
        return;

    if (!box_ || !box_->isVisible()) {
        delete box_.data();
        box_ = new QMessageBox(QMessageBox::Warning, applicationTitle(), QString(), QMessageBox::Ok, parent_);
        box_->setAttribute(Qt::WA_DeleteOnClose);
        // The window goes on working while the report is open.
        box_->setWindowModality(Qt::NonModal);
    }
    box_->setText(error.report());
    box_->setInformativeText(error.member().isEmpty() ? QString()
                                                      : QCoreApplication::translate("ErrorReport", "Raised by %1.")
                                                            .arg(error.member()));
    shownKey_ = key;
    box_->show();
    box_->raise();
}

QMessageBox* MessageBoxErrorReporter::openBox() const
{
    return box_ && box_->isVisible() ? box_.data() : nullptr;
}

}  // namespace vizmo::platform
