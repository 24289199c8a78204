#include "platform/ddeclient.h"

#include "platform/launch.h"

namespace bp {

bool ProcessDdeClientConv::OpenLink(const QString&, const QString&)
{
    if (FProgram.isEmpty() || !startDetached(FProgram, {}))
        return false;
    if (OnOpen)
        OnOpen();
    return true;
}

bool ProcessDdeClientConv::RequestData(const QString& item, QByteArray& reply)
{
    reply.clear();
    const qsizetype end = item.indexOf(QStringLiteral(",,"));
    return !FProgram.isEmpty() && startDetached(FProgram, {end < 0 ? item : item.left(end)});
}

} // namespace bp
