// Acknowledgements as the set-type exchange collects and judges them: the
// reply arrives in pieces, possibly with a gap that ends it early.
#include "FuzzRig.h"

#include "protocol/CommandExchange.h"
#include "protocol/TransactionResult.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRig::App();
    static FuzzRig rig(false);
    const FuzzInput in(data, size);
    // Mode bit 0: frame the bytes properly, so the code check is reached.
    const QByteArray reply = (in.mode & 1) ? FuzzRig::Framed(in.rest) : in.rest;
    rig.Answer(in.control, reply);
    int result = 0;
    RunAction(rig.session, [&] { result = rig.session.exchange.SetTypeExchange(0xE003, {}); });
    if (result > TransactionResult::Accepted || result < TransactionResult::BadChecksum)
        __builtin_trap();
    // Collected without a gap, the exchange judges exactly what was sent.
    if (!(in.control & 0x80) && result != CommandExchange::JudgeAck(reply))
        __builtin_trap();
    return 0;
}
