// SPDX-License-Identifier: MIT
// The framing between libeztw32 and its engine: messages sent whole over a
// real socket pair come out whole and in order however the receiving side's
// waits cut the byte stream, and a broken length stops the stream.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine_protocol.h"

using namespace eztw::engine;

namespace {

// Messages of every kind of size: a bare notice, a reply with a string, and
// one larger than a socket read at a time.
std::vector<Writer> sampleMessages() {
  std::vector<Writer> out;
  out.emplace_back(Op::DataReady);
  out.emplace_back(Op::Reply);
  out.back().i32(SANE_STATUS_GOOD).str("Automatic Document Feeder");
  out.emplace_back(Op::Reply);
  const std::vector<uint8_t> big(100000, 0x5a);
  out.back().bytes(big.data(), static_cast<uint32_t>(big.size()));
  out.emplace_back(Op::Space);
  return out;
}

std::vector<uint8_t> wireBytes(const std::vector<Writer>& messages) {
  int pair[2];
  EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  int size = 1 << 20;
  ::setsockopt(pair[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  ::setsockopt(pair[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  for (const Writer& w : messages) EXPECT_TRUE(sendMessage(pair[0], w));
  ::close(pair[0]);
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  for (ssize_t k; (k = ::recv(pair[1], chunk, sizeof chunk, 0)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + k);
  ::close(pair[1]);
  return bytes;
}

TEST(EngineProtocol, MessagesComeOutWholeHoweverTheStreamIsCut) {
  const std::vector<Writer> sent = sampleMessages();
  const std::vector<uint8_t> bytes = wireBytes(sent);
  // Cut into pieces of each size, among them cuts inside a length, right
  // after a length and inside a body.
  for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{5},
                            std::size_t{7}, std::size_t{4096}, bytes.size()}) {
    SCOPED_TRACE("pieces of " + std::to_string(piece) + " bytes");
    Inbox inbox;
    std::vector<std::vector<uint8_t>> got;
    std::vector<uint8_t> message;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      inbox.append(bytes.data() + at, std::min(piece, bytes.size() - at));
      for (Inbox::Take t; (t = inbox.take(message)) != Inbox::Take::Incomplete;) {
        ASSERT_EQ(t, Inbox::Take::Message);
        got.push_back(message);
      }
    }
    ASSERT_EQ(got.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(got[i], sent[i].data()) << i;
  }
}

TEST(EngineProtocol, LengthOutsideTheProtocolStopsTheStream) {
  for (uint32_t length : {0u, 3u, kMaxMessage + 1}) {
    Inbox inbox;
    inbox.append(&length, sizeof length);
    std::vector<uint8_t> message;
    EXPECT_EQ(inbox.take(message), Inbox::Take::Corrupt) << length;
  }
}

}  // namespace
