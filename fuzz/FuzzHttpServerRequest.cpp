// The servers' HTTP request reader (head, Content-Length and chunked bodies, Expect, keep-alive)
// on a real loopback connection. The handler checks what the reader hands on: a body never
// exceeds the configured limit, and only whole requests reach it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzLoopbackPeer.h"
#include "cim/http/HttpServer.h"

namespace {

constexpr const char* kAddress = "127.87.20.1";
constexpr std::uint64_t kMaxBody = 64 * 1024;

cim::HttpServerReply answer(const cim::HttpRequest& request, const cim::HttpRequestContext&) {
    if (request.body().size() > kMaxBody) {
        std::fprintf(stderr, "a body of %zu bytes passed the %llu byte limit\n", request.body().size(),
                     static_cast<unsigned long long>(kMaxBody));
        std::abort();
    }
    cim::HttpServerReply reply;
    reply.message.result(boost::beast::http::status::ok);
    reply.message.body() = std::to_string(request.body().size());
    // Chunked replies go through their own writer; the request decides, so both are fuzzed.
    reply.chunked = request.body().size() % 2 == 1;
    reply.chunkBytes = 7;
    reply.message.prepare_payload();
    return reply;
}

cim::HttpServer& server() {
    static const std::unique_ptr<cim::HttpServer> running = [] {
        cim::HttpServerOptions options;
        options.address = kAddress;
        options.maxBodyBytes = kMaxBody;
        options.maxHeaderBytes = 8 * 1024;
        options.readTimeout = std::chrono::milliseconds(2000);
        auto started = std::make_unique<cim::HttpServer>(options, answer);
        started->start();
        return started;
    }();
    return *running;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::LoopbackPeer peer(kAddress, server().port());
    peer.exchange(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
