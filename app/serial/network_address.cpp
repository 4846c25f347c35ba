// SPDX-License-Identifier: MIT
#include "network_address.h"

#include "run_time_error.h"

#include <QUrl>

#include <array>

namespace kestrin {

namespace {

struct Scheme
{
    const char *name;
    NetworkAddress::Protocol protocol;
};

constexpr std::array<Scheme, 2> kSchemes{{
    {"tcp", NetworkAddress::Protocol::Raw},
    {"rfc2217", NetworkAddress::Protocol::Telnet},
}};

const Scheme *schemeOf(const QString &device)
{
    for (const Scheme &scheme : kSchemes) {
        if (device.startsWith(QLatin1String(scheme.name) + QStringLiteral("://"), Qt::CaseInsensitive))
            return &scheme;
    }
    return nullptr;
}

} // namespace

bool isNetworkDevice(const QString &device)
{
    return schemeOf(device) != nullptr;
}

QString networkAddressProblem(const QString &device)
{
    if (schemeOf(device) == nullptr)
        return {};
    const QUrl url(device, QUrl::StrictMode);
    const char *why = nullptr;
    if (!url.isValid() || url.host().isEmpty())
        why = "a network board is named tcp://HOST:PORT or rfc2217://HOST:PORT";
    else if (url.port() < 1)
        why = "needs a port 1..65535 after the host";
    else if (!url.userInfo().isEmpty() || !url.path().isEmpty() || url.hasQuery() || url.hasFragment())
        why = "has something after the port";
    return why == nullptr ? QString() : QStringLiteral("%1: %2").arg(device, QLatin1String(why));
}

std::optional<NetworkAddress> networkAddress(const QString &device)
{
    const Scheme *scheme = schemeOf(device);
    if (scheme == nullptr)
        return std::nullopt;
    if (const QString problem = networkAddressProblem(device); !problem.isEmpty())
        throw RunTimeError(problem.toStdString());
    const QUrl url(device, QUrl::StrictMode);
    return NetworkAddress{scheme->protocol, url.host(), static_cast<quint16>(url.port())};
}

QString networkDeviceName(const QString &typed)
{
    const QString name = typed.trimmed();
    return isNetworkDevice(name) ? name : QStringLiteral("tcp://") + name;
}

} // namespace kestrin
