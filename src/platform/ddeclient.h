#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace bp {

// A client conversation with a browser that takes pages from other
// programs: a service application to start when no server answers, a link
// to a service and topic, and requests of items.
class DdeClientConv {
public:
    virtual ~DdeClientConv() = default;

    // The program started by the next link attempt when no server answers.
    virtual void SetServiceApplication(const QString& program) = 0;
    // Opens the conversation; OnOpen runs once it is open. False when no
    // link could be made (the service application did not start).
    virtual bool OpenLink(const QString& service, const QString& topic) = 0;
    // Requests an item. False when the request could not be delivered;
    // otherwise reply holds the server's answer, empty when it gave none.
    virtual bool RequestData(const QString& item, QByteArray& reply) = 0;

    // Runs when the conversation has been opened, and when it has ended.
    std::function<void()> OnOpen;
    std::function<void()> OnClose;
};

// The conversation where the system has no such service: opening the link
// starts the service application and reports the conversation open; a
// request hands the item's address (the text before ",,") to the service
// application as its one argument, which modern browsers pass on to their
// running instance, and brings no reply.
class ProcessDdeClientConv : public DdeClientConv {
public:
    void SetServiceApplication(const QString& program) override { FProgram = program; }
    bool OpenLink(const QString& service, const QString& topic) override;
    bool RequestData(const QString& item, QByteArray& reply) override;

private:
    QString FProgram;
};

} // namespace bp
