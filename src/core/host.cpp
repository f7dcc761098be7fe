#include "core/host.h"

namespace varnix {

void Host::showMessage(MessageIcon, const std::string&, const std::string&) {}

bool Host::confirm(MessageIcon, const std::string&, const std::string&) {
    return false;
}

namespace {

Host& SilentHost() {
    static Host silent;
    return silent;
}

std::atomic<Host*>& InstalledHost() {
    static std::atomic<Host*> installed{nullptr};
    return installed;
}

}  // namespace

Host& CurrentHost() {
    Host* host = InstalledHost().load();
    return host != nullptr ? *host : SilentHost();
}

void SetHost(Host* host) {
    InstalledHost().store(host);
}

}  // namespace varnix
