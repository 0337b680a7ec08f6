#include "qt/QtServices.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMessageBox>
#include <QMimeData>

#include "qt/SjisCodec.h"
#include "text/Translate.h"

namespace zok2 {

namespace {
QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

// A message is translated whole when the translations hold it (most are one
// fixed text); a composed one had its parts translated as it was made.
void QtMessageBox::Show(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, FromUtf8(TrText("Message", text)), QMessageBox::Ok, parent ? parent() : nullptr);
    box.exec();
    if (QWidget* owner = parent ? parent() : nullptr) owner->activateWindow();
}

IMessageBox::Answer QtMessageBox::Ask(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, kAppTitle, FromUtf8(TrText("Message", text)), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent ? parent() : nullptr);
    box.setDefaultButton(QMessageBox::Yes);
    const int answer = box.exec();
    if (QWidget* owner = parent ? parent() : nullptr) owner->activateWindow();
    switch (answer) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void QtWaitCursor::Begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtWaitCursor::End() { QApplication::restoreOverrideCursor(); }

bool QtKeyState::IsControlDown() const { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); }

bool QtClipboard::SetText(const std::string& sjisText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(SjisToQString(sjisText));
    return true;
}

bool QtClipboard::GetText(std::string& sjisText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText()) return false;
    sjisText = QStringToSjis(data->text());
    return true;
}

}  // namespace zok2
