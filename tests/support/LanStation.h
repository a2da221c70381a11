#pragma once

#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLan.h"
#include "transport/MailSlot.h"
#include "transport/NbtMailslotService.h"

#include <QStringList>

#include <memory>
#include <string>

namespace parlino::test {

// One computer on a fake LAN with a messenger of its own, which records what reaches it as
// "SENDER -> RECEIVER: text". The messenger is opened at once and closed with the station.
struct LanStation
{
    LanStation(fake::FakeLan& lan, uint8_t host, const std::string& netbiosName,
               const std::string& workgroup = "OFFICE", uint8_t subnet = 0)
        : name(QString::fromStdString(netbiosName)), network(lan.AddStation(host, subnet)),
          names(netbiosName, workgroup), service(*network, *network, inboxes, names, 138),
          popup(nullptr, service, clock, codePage)
    {
        popup.OnMessage = [this](QObject*, const QString& to, const QString& from, const QString& text) {
            inbox.push_back(from + " -> " + to + ": " + text);
        };
        popup.SetActive(true);
    }
    ~LanStation() { popup.Close(); }
    LanStation(const LanStation&) = delete;
    LanStation& operator=(const LanStation&) = delete;

    const QString name;
    std::unique_ptr<fake::FakeStationNetwork> network;
    const ThisComputer names;
    LocalMailslots inboxes;
    NbtMailslotService service;
    fake::FakeClock clock;
    IconvCodePage codePage{QStringLiteral("CP850")};
    TWinPopup popup;
    QStringList inbox;
};

} // namespace parlino::test
