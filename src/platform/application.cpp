#include "platform/application.h"

#include "platform/dialogs.h"

#include <QPalette>
#include <QStyleFactory>

#include <csignal>
#include <exception>
#include <thread>

#include <pthread.h>

PitrovaApplication::PitrovaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool PitrovaApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        platform::ShowErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        platform::ShowErrorBox(QStringLiteral("Unexpected error"));
    }
    // The event counts as handled; the loop goes on with the next one.
    return true;
}

void CloseOnTerminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, sig);
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return;
    std::thread([set] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0)
                continue;
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app,
                    [] {
                        QApplication::closeAllWindows();
                        QCoreApplication::exit(0);
                    },
                    Qt::QueuedConnection);
        }
    }).detach();
}

void ApplyDarkTheme(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);

    const QColor window(0x25, 0x26, 0x29);
    const QColor base(0x17, 0x18, 0x1a);
    const QColor alternate(0x2c, 0x2e, 0x32);
    const QColor button(0x33, 0x35, 0x39);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor dimText(0x8a, 0x8c, 0x90);
    const QColor accent(0xb8, 0x56, 0x0f);  // racing orange for selections and focus

    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3c, 0x40));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dimText);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x55, 0x55));
    p.setColor(QPalette::Light, QColor(0x4a, 0x4c, 0x51));
    p.setColor(QPalette::Midlight, QColor(0x3e, 0x40, 0x45));
    p.setColor(QPalette::Mid, QColor(0x2a, 0x2b, 0x2e));
    p.setColor(QPalette::Dark, QColor(0x15, 0x15, 0x17));
    p.setColor(QPalette::Shadow, QColor(0x00, 0x00, 0x00));
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    p.setColor(QPalette::Link, QColor(0xf0, 0x9a, 0x50));
    p.setColor(QPalette::LinkVisited, QColor(0xc0, 0x80, 0x50));

    p.setColor(QPalette::Disabled, QPalette::WindowText, dimText);
    p.setColor(QPalette::Disabled, QPalette::Text, dimText);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, dimText);
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(0x2c, 0x2d, 0x31));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x45, 0x47, 0x4c));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(0xb0, 0xb2, 0xb6));

    app.setPalette(p);
}
