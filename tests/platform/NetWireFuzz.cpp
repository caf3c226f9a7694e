// What a remote may send the session layer outside the game's own messages: join requests,
// welcomes, description changes, search queries and answers. Every reader must refuse or take
// any bytes without harm, and what it takes must read back the same once written again.
#include "platform/net/NetWire.h"

using namespace kv::net;
using namespace kv::net::wire;

namespace {

void same(bool ok) {
    if (!ok)
        __builtin_trap();
}

bool sameDesc(const SessionDesc& a, const SessionDesc& b) {
    return a.name == b.name && a.maxPlayers == b.maxPlayers && a.info == b.info;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (auto j = parseJoin(data, size)) {
        auto bytes = encodeJoin(*j);
        auto again = parseJoin(bytes.data(), bytes.size());
        same(again && again->app == j->app && again->password == j->password &&
             again->name == j->name);
    }
    if (auto w = parseWelcome(data, size)) {
        auto bytes = encodeWelcome(w->first, w->second);
        auto again = parseWelcome(bytes.data(), bytes.size());
        same(again && again->first == w->first && sameDesc(again->second, w->second));
    }
    if (auto d = parseDescChanged(data, size)) {
        auto bytes = encodeDescChanged(*d);
        auto again = parseDescChanged(bytes.data(), bytes.size());
        same(again && sameDesc(*again, *d));
    }
    if (auto q = parseQuery(data, size)) {
        auto bytes = encodeQuery(*q);
        auto again = parseQuery(bytes.data(), bytes.size());
        same(again && again->app == q->app && again->sentAt == q->sentAt &&
             again->nonce == q->nonce);
    }
    if (auto a = parseAnswer(data, size)) {
        auto bytes = encodeAnswer(a->echo, a->currentPlayers, a->desc);
        same(bytes.size() <= kAnswerMax);
        auto again = parseAnswer(bytes.data(), bytes.size());
        same(again && again->echo.nonce == a->echo.nonce &&
             again->currentPlayers == a->currentPlayers && sameDesc(again->desc, a->desc));
    }
    return 0;
}
