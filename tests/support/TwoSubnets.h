#pragma once

#include "platform/fake/FakeStreams.h"
#include "tests/support/LanStation.h"
#include "tests/support/NameAnswerer.h"
#include "transport/NameResolver.h"
#include "transport/SmbMessageSender.h"
#include "transport/StationSender.h"

#include <chrono>
#include <memory>
#include <string>
#include <utility>

namespace parlino::test {

// A fake LAN of two subnets joined by a router: ALICE on the first, BOB beyond the router, and a WINS server
// (host 9) that knows BOB. ALICE's lines take the SMB route on fake streams, finding names through `names`, and
// her datagrams reach what it learnt lies beyond the router.
struct TwoSubnets
{
    explicit TwoSubnets(NameResolver::Settings resolver) : names(*alice.network, std::move(resolver))
    {
        alice.service.SetRoutedLookup([names = names](const std::string& name) { return names.BeyondRouter(name); });
    }

    // What ALICE's station sender takes for the SMB route.
    StationSender::SmbRoute AliceRoute() { return {smb, alice.codePage, "ALICE", {}}; }

    fake::FakeLan lan;
    LanStation alice{lan, 1, "ALICE"};
    LanStation bob{lan, 2, "BOB", "OFFICE", 1};
    NameAnswerer wins{lan, 9, NameAnswerer::Wins, {{"BOB", bob.network->Address()}}};
    fake::FakeStreams streams;
    const std::unique_ptr<TcpNetwork> tcp = streams.Station(alice.network->Address());
    const NameResolver names;
    SmbMessageSender smb{names, *tcp, 139, std::chrono::seconds(1)};
};

} // namespace parlino::test
