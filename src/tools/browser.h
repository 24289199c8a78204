#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace bp {

class DdeClientConv;

// The browser registered for HTML files, found as the desktop finds it:
// the program of the default HTML viewer's open command (the text before
// its argument). Empty when there is none or it names no file, so that the
// caller keeps the browser it had.
QString GetDefaultBrowser();

// Which kind of browser a WebBrowser path names, by the program names it
// contains (upper-cased, anywhere in the path), tested in this order.
enum class TBrowserKind { Netscape, HotJava, AppletViewer, Other };
TBrowserKind BrowserKindOf(const QString& webBrowser);

// How a page reaches the browser.
struct TBrowserRequest {
    // Asked through the running browser's conversation instead of started.
    bool Dde = false;
    // The browser's one argument.
    QString Argument;
    // Where the browser starts; empty for this process's own directory.
    QString WorkingDir;

    friend bool operator==(const TBrowserRequest&, const TBrowserRequest&) = default;
};

// What a browser gets for a page. fileReference is what shows (the
// document's file or its temporary copy); the applet viewer, and in the
// plain editor variant HotJava too, gets the saved file's bare name in the
// document's folder.
TBrowserRequest BrowserRequestFor(const QString& webBrowser, bool useDde, bool plainVariant,
                                  const QString& fileReference, const QString& documentPath,
                                  const QString& documentFileName);

// "file:///" followed by the path; an absolute path's own leading
// separator is not doubled.
QString FileAddress(const QString& path);
// The item that asks a running browser for a page: the page's address with a
// drive colon (a letter and ':' at the start) written as '|', then ",,", the
// browser window id, "," and the flags "1".
QString DdeRequestItem(const QString& fileReference, const QString& windowId);

// The one conversation with a running browser, as the main window keeps it:
// closed at start, opened by the first request, closed by the browser. While
// open, every request goes straight to it, and the first byte of each reply
// becomes the window id sent with the next.
class TBrowserDde {
public:
    explicit TBrowserDde(std::unique_ptr<DdeClientConv> conversation);
    ~TBrowserDde();
    TBrowserDde(const TBrowserDde&) = delete;
    TBrowserDde& operator=(const TBrowserDde&) = delete;

    bool IsOpen() const { return FOpen; }
    QString WindowId() const { return FWindowId; }

    // Opens the link to the browser program; opened runs once the
    // conversation is open (it makes the request). False when no link
    // could be made.
    bool Open(const QString& webBrowser, std::function<void()> opened);
    // Asks for the item; a reply's first byte (0 to 255) becomes the window
    // id. False when the request could not be delivered.
    bool Request(const QString& item);

private:
    std::unique_ptr<DdeClientConv> FConversation;
    QString FWindowId = QStringLiteral("0");
    bool FOpen = false;
    std::function<void()> FOpened;
};

} // namespace bp
