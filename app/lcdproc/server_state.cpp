// SPDX-License-Identifier: MIT
#include "server_state.h"

#include "command_tokens.h"
#include "screen_renderer.h"

namespace kestrin {

namespace {

void addWidget(Screen &screen, std::string id, WidgetType type, std::u32string text = {})
{
    Widget &widget = screen.widgets.emplace_back();
    widget.id = std::move(id);
    widget.type = type;
    widget.text = std::move(text);
}

void setString(Screen &screen, const std::string &id, int row, const std::string &text)
{
    Widget *widget = screen.widget(id);
    widget->x = 1;
    widget->y = row;
    widget->text.assign(text.begin(), text.end());
}

} // namespace

ServerState::ServerState(Send send)
    : m_send(std::move(send)),
      m_screens([this](int owner, const std::string &line) { sendToClient(owner, line); })
{
    Screen &server = m_screens.serverScreen();
    server.id = "_server_screen";
    addWidget(server, "title", WidgetType::Title, U"LCDproc Server");
    addWidget(server, "clients", WidgetType::String);
    addWidget(server, "screens", WidgetType::String);
}

void ServerState::connect(int client)
{
    m_clients[client].number = client;
}

void ServerState::disconnect(int client)
{
    m_screens.removeOwner(client);
    m_keys.releaseAll(client);
    m_clients.erase(client);
}

AfterCommand ServerState::handleLine(int client, const ClientLine &line)
{
    const auto found = m_clients.find(client);
    if (found == m_clients.end())
        return AfterCommand::Close;
    if (line.overlong) {
        sendToClient(client, "huh? Line longer than 8192 bytes, skipped");
        return AfterCommand::Stay;
    }
    const auto words = tokenizeCommand(line.text);
    if (!words) {
        sendToClient(client, "huh? Could not parse command");
        return AfterCommand::Stay;
    }
    if (words->empty())
        return AfterCommand::Stay;
    CommandContext context{found->second, m_screens, m_keys,
                           [this, client](const std::string &reply) { sendToClient(client, reply); }};
    return dispatchCommand(context, *words);
}

void ServerState::tick()
{
    ++m_tick;
    m_screens.tick();
}

DisplayBitmap ServerState::render()
{
    const Screen *shown = m_screens.current();
    if (shown == nullptr)
        return {};
    if (shown == &m_screens.serverScreen()) {
        Screen &server = m_screens.serverScreen();
        setString(server, "clients", 2, "Clients: " + std::to_string(clientCount()));
        setString(server, "screens", 3, "Screens: " + std::to_string(m_screens.clientScreenCount()));
    }
    return renderScreen(*shown, m_tick);
}

bool ServerState::showingClientScreen() const
{
    const Screen *shown = m_screens.current();
    return shown != nullptr && shown->owner != 0;
}

void ServerState::sendToClient(int client, const std::string &line)
{
    if (client != 0)
        m_send(client, line);
}

} // namespace kestrin
