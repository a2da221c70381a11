#pragma once

#include "codec/NameQuery.h"
#include "platform/fake/FakeLan.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>

namespace parlino::test {

// On the fake LAN: a WINS server that answers every query sent to it, or a station that answers broadcast
// queries for its own names; or a server that answers garbage. Counts the queries it answers.
struct NameAnswerer
{
    enum Kind { Wins, Owner, Garbage };
    NameAnswerer(fake::FakeLan& lan, uint8_t host, Kind kind, const std::map<std::string, uint32_t>& names = {})
        : network(lan.AddStation(host)),
          endpoint(network->Listen(137, [=, this](const uint8_t* data, size_t size, uint32_t from, uint16_t port) {
              auto query = DecodeNameQuery(data, size);
              if (!query || query->broadcast != (kind == Owner))
                  return;
              const auto known = names.find(query->name.name);
              if (kind == Owner && known == names.end())
                  return;
              ++queries;
              query->transactionId += kind == Garbage;
              network->SendTo(from, port,
                              known == names.end() ? EncodeNegativeNameQueryResponse(*query)
                                                   : EncodePositiveNameQueryResponse(*query, known->second),
                              137);
          }))
    {}
    std::unique_ptr<fake::FakeStationNetwork> network;
    std::unique_ptr<UdpEndpoint> endpoint;
    std::atomic<int> queries = 0;
};

} // namespace parlino::test
