#include "exchange/QueuedWrite.h"

namespace exchange {

namespace {

// One buffer in flight: the next is laid out while it is written, and no more are held.
constexpr std::size_t kBuffersInFlight = 1;

} // namespace

QueuedWrite::QueuedWrite(platform::FileReplacement& file)
    : queue_(
          kBuffersInFlight, [&file](QByteArray& buffer) { file.write(buffer); },
          // resize(0) keeps the room, where clear() would free it
          [](QByteArray& buffer) { buffer.resize(0); }) {}

} // namespace exchange
