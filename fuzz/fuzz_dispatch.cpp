// Any sequence of server lines through the whole client's dispatcher, offscreen: every
// handler must end in a result or an error box, never in a crash. The client is built once;
// see FuzzClient.h for what is reset between inputs.

#include "FuzzClient.h"

#include "session/Cp1250.h"
#include "session/Dispatch.h"
#include "session/LineFramer.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzclient::Client &client = fuzzclient::client();
    Context &ctx = client.context();
    LineFramer framer;
    framer.feed(reinterpret_cast<const char *>(data), qsizetype(size));
    framer.feed("\r\n", 2);
    while (auto line = framer.takeLine()) {
        const QString text = Cp1250::decode(*line);
        ctx.guard([&] { ctx.dispatcher().dispatch(text); });
    }
    client.settle();
    return 0;
}
