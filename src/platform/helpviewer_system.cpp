#include "platform/helpviewer_system.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QByteArray>
#include <QPointer>
#include <QWidget>
#include <windows.h>
#else
#include "platform/chmviewer.h"
#endif

namespace sumiraku {

#ifdef Q_OS_WIN
namespace {

// HtmlHelpA from hhctrl.ocx, loaded at run time so that the program starts without it.
class HtmlHelpViewer : public HelpViewer {
public:
    HtmlHelpViewer()
    {
        // Never unloaded: help windows may outlive this object, and unloading the
        // control under them crashes.
        if (HMODULE library = LoadLibraryW(L"hhctrl.ocx"))
            htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(GetProcAddress(library, "HtmlHelpA"));
    }

    void displayTopic(QWidget *owner, const QString &helpFile) override
    {
        call(owner, helpFile, kDisplayTopic);
    }

    // The classic program passes its window and the file name here as well.
    void closeAll() override { call(lastOwner_, lastFile_, kCloseAll); }

private:
    using HtmlHelpFunction = HWND(WINAPI *)(HWND, LPCSTR, UINT, DWORD_PTR);
    static constexpr UINT kDisplayTopic = 0x0000;   // HH_DISPLAY_TOPIC
    static constexpr UINT kCloseAll = 0x0012;       // HH_CLOSE_ALL

    void call(QWidget *owner, const QString &helpFile, UINT command)
    {
        if (command == kDisplayTopic) {
            lastOwner_ = owner;
            lastFile_ = helpFile;
        }
        if (!htmlHelp_)
            return;
        const HWND window = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
        const QByteArray file = helpFile.toLocal8Bit();   // the ANSI code page
        htmlHelp_(window, helpFile.isEmpty() ? nullptr : file.constData(), command, 0);
    }

    HtmlHelpFunction htmlHelp_ = nullptr;
    QPointer<QWidget> lastOwner_;
    QString lastFile_;
};

} // namespace

std::unique_ptr<HelpViewer> makeSystemHelpViewer(MessageBoxes *)
{
    return std::make_unique<HtmlHelpViewer>();
}

#else

std::unique_ptr<HelpViewer> makeSystemHelpViewer(MessageBoxes *messages)
{
    return std::make_unique<ChmHelpViewer>(messages);
}

#endif

} // namespace sumiraku
