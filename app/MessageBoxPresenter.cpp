#include "app/MessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

MessageBoxPresenter::MessageBoxPresenter() {
    m_previous = platform::SetMessageBoxHandler([this](std::u16string_view text) {
        const QString message = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
        if (QThread::currentThread() == thread())
            Show(message);
        else
            QMetaObject::invokeMethod(this, [this, message] { Show(message); }, Qt::BlockingQueuedConnection);
    });
}

MessageBoxPresenter::~MessageBoxPresenter() { platform::SetMessageBoxHandler(std::move(m_previous)); }

void MessageBoxPresenter::Show(const QString& text) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    const auto& title = platform::kApplicationTitle;
    QMessageBox box(QMessageBox::Warning, QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size())),
                    text, QMessageBox::Ok, owner);
    // The program speaks Chinese whatever the system's language.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}
