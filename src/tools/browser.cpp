#include "tools/browser.h"

#include "platform/classesroot.h"
#include "platform/ddeclient.h"
#include "platform/fileservices.h"

#include <algorithm>
#include <utility>

namespace bp {

QString GetDefaultBrowser()
{
    ClassesRoot root;
    if (!root.OpenKey(QStringLiteral(".html")))
        return QString();
    const QString fileClass = root.ReadDefault();
    if (fileClass.isEmpty())
        return QString();
    root.CloseKey();
    if (!root.OpenKey(fileClass) || !root.OpenKey(QStringLiteral("shell")) ||
        !root.OpenKey(QStringLiteral("open")))
        return QString();
    const QString command =
        root.OpenKey(QStringLiteral("command")) ? root.ReadDefault() : QString();
    if (command.isEmpty())
        return QString();
    // The program is what precedes the argument and the blank before it.
    const qsizetype p = command.indexOf(QStringLiteral("%1"));
    const QString browser = p < 0 ? command : command.left(std::max<qsizetype>(p - 1, 0));
    return files::exists(browser) && !files::isDirectory(browser) ? browser : QString();
}

TBrowserKind BrowserKindOf(const QString& webBrowser)
{
    const QString upper = webBrowser.toUpper();
    const QString suffix = files::exeSuffix().toUpper();
    if (upper.contains(QStringLiteral("NETSCAPE") + suffix))
        return TBrowserKind::Netscape;
    if (upper.contains(QStringLiteral("HOTJAVA") + suffix))
        return TBrowserKind::HotJava;
    if (upper.contains(QStringLiteral("APPLETVIEWER") + suffix))
        return TBrowserKind::AppletViewer;
    return TBrowserKind::Other;
}

TBrowserRequest BrowserRequestFor(const QString& webBrowser, bool useDde, bool plainVariant,
                                  const QString& fileReference, const QString& documentPath,
                                  const QString& documentFileName)
{
    TBrowserRequest request;
    TBrowserKind kind = BrowserKindOf(webBrowser);
    // The plain window hands HotJava the bare name, as to the applet viewer.
    if (kind == TBrowserKind::HotJava && plainVariant)
        kind = TBrowserKind::AppletViewer;
    switch (kind) {
    case TBrowserKind::Netscape:
        request.Dde = useDde;
        request.Argument = fileReference;
        break;
    case TBrowserKind::HotJava:
        request.Argument = FileAddress(fileReference);
        break;
    case TBrowserKind::AppletViewer:
        // The applet viewer reads the saved file, never a temporary copy.
        request.Argument = documentFileName;
        request.WorkingDir = documentPath;
        break;
    case TBrowserKind::Other:
        request.Argument = fileReference;
        break;
    }
    return request;
}

QString FileAddress(const QString& path)
{
    return QStringLiteral("file:///") + (path.startsWith(QLatin1Char('/')) ? path.mid(1) : path);
}

QString DdeRequestItem(const QString& fileReference, const QString& windowId)
{
    QString path = fileReference;
    if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter())
        path[1] = QLatin1Char('|');
    return FileAddress(path) + QStringLiteral(",,") + windowId + QStringLiteral(",1");
}

TBrowserDde::TBrowserDde(std::unique_ptr<DdeClientConv> conversation)
    : FConversation(std::move(conversation))
{
    FConversation->OnOpen = [this] {
        FOpen = true;
        if (FOpened)
            std::exchange(FOpened, nullptr)();
    };
    FConversation->OnClose = [this] {
        FOpen = false;
        FWindowId = QStringLiteral("0");
    };
}

TBrowserDde::~TBrowserDde()
{
    FConversation->OnOpen = nullptr;
    FConversation->OnClose = nullptr;
}

bool TBrowserDde::Open(const QString& webBrowser, std::function<void()> opened)
{
    FOpened = std::move(opened);
    FConversation->SetServiceApplication(webBrowser);
    if (FConversation->OpenLink(QStringLiteral("Netscape"), QStringLiteral("WWW_OpenURL")))
        return true;
    FOpened = nullptr;
    return false;
}

bool TBrowserDde::Request(const QString& item)
{
    QByteArray reply;
    if (!FConversation->RequestData(item, reply))
        return false;
    if (!reply.isEmpty())
        FWindowId = QString::number(quint8(reply.at(0)));
    return true;
}

} // namespace bp
