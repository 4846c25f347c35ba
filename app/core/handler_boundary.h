// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <functional>
#include <string_view>
#include <utility>

namespace kestrin {

// Where an error that ended a handler is reported. The default writes one
// line to stderr: "kestrin: <handler>: <message>", or "kestrin: <message>"
// for a report that names no handler.
using ErrorReporter = std::function<void(std::string_view handler, std::string_view message)>;

// Replaces the reporter; returns the previous one (tests capture reports).
ErrorReporter setErrorReporter(ErrorReporter reporter);
void reportHandlerError(std::string_view handler, std::string_view message);

// The one place that catches: every event handler (load, unload, button
// clicks, cell clicks, the port event, the page sender, the window's
// commands) runs through here. An error ends the handler that raised it, is
// handed to report (by default reported once), and the event loop carries on.
template <typename Handler, typename Report>
void runHandlerReporting(std::string_view name, Handler &&handler, Report &&report) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &error) {
        std::forward<Report>(report)(name, std::string_view(error.what()));
    }
}

template <typename Handler>
void runHandler(std::string_view name, Handler &&handler) noexcept
{
    runHandlerReporting(name, std::forward<Handler>(handler), reportHandlerError);
}

// Reports as runHandler does, and also gives the message to shown, for a
// window that shows it to the user as well.
template <typename Handler, typename Shown>
void runHandler(std::string_view name, Handler &&handler, Shown &&shown) noexcept
{
    runHandlerReporting(name, std::forward<Handler>(handler), [&shown](std::string_view handler, std::string_view message) {
        reportHandlerError(handler, message);
        shown(message);
    });
}

} // namespace kestrin
