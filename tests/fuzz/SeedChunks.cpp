// Writes the seed corpus of the chunk target into the folder given as the
// only argument. Every seed is: one settings byte (bit 0 program chunk,
// bits 1-4 current program, bits 5-6 declared size: as given, shorter by
// the second byte, negative; bit 7 a null pointer when empty), one byte
// used by the declared-size modes, then the chunk. The chunks start from
// the factory bank exactly as getChunk hands it to a host.
#include "dsp/ZFilter.h"
#include "framework/StoredValue.h"
#include "targets/FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool writeSeed(const std::string& folder, const char* name, unsigned char settings, unsigned char second,
               const Bytes& chunk) {
    const std::string path = folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const unsigned char head[2] = {settings, second};
    bool ok = std::fwrite(head, 1, 2, file) == 2;
    if (!chunk.empty()) ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
    return std::fclose(file) == 0 && ok;
}

void setValue(Bytes& bank, size_t program, size_t parameter, double value) {
    VRAX::storeStoredValue(bank.data() + program * 49 + 25 + parameter * 8, value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    VRAX::ZFilter effect(qolmfuzz::hostCallback);
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, false);
    if (size != 490) return 1;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const Bytes bank(bytes, bytes + size);
    const Bytes record(bank.begin() + 2 * 49, bank.begin() + 3 * 49);  // "Res High"

    Bytes strange = bank;
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -0.0, 1.5,
                             -1.5, std::numeric_limits<double>::denorm_min(), 2.0, -1e-300,
                             std::numeric_limits<double>::signaling_NaN(), 0.999999999999, 1.0};
    size_t k = 0;
    for (size_t p = 0; p < 10; ++p)
        for (size_t j = 0; j < 3; ++j) setValue(strange, p, j, values[k++ % (sizeof values / sizeof values[0])]);
    // Names that fill all 25 bytes, and one of control characters.
    std::memset(strange.data(), 'N', 25);
    std::memset(strange.data() + 49, 0x01, 24);

    Bytes unitRecord = record;
    setValue(unitRecord, 0, 0, 1.0);
    setValue(unitRecord, 0, 1, 1.0);
    setValue(unitRecord, 0, 2, 1.0);

    Bytes nanRecord = record;
    for (size_t j = 0; j < 3; ++j) setValue(nanRecord, 0, j, std::nan(""));

    auto cut = [](const Bytes& b, size_t n) {
        Bytes out(b.begin(), b.begin() + std::min(n, b.size()));
        while (out.size() < n) out.push_back(static_cast<unsigned char>(out.size() * 37));
        return out;
    };

    bool ok = true;
    ok &= writeSeed(folder, "bank-0", 0x00, 0, {});
    ok &= writeSeed(folder, "bank-0-null", 0x80, 0, {});
    ok &= writeSeed(folder, "bank-48", 0x00, 0, cut(bank, 48));
    ok &= writeSeed(folder, "bank-489", 0x00, 0, cut(bank, 489));
    ok &= writeSeed(folder, "bank-490-factory", 0x00, 0, bank);
    ok &= writeSeed(folder, "bank-600", 0x00, 0, cut(bank, 600));
    ok &= writeSeed(folder, "bank-490-nan-inf", 0x00, 0, strange);
    ok &= writeSeed(folder, "bank-490-declared-489", 0x20, 1, bank);
    ok &= writeSeed(folder, "bank-490-declared-negative", 0x40, 0, bank);
    ok &= writeSeed(folder, "bank-490-declared-int-min", 0x40, 1, bank);
    ok &= writeSeed(folder, "program-0", 0x01, 0, {});
    ok &= writeSeed(folder, "program-48", 0x01 | (5 << 1), 0, cut(record, 48));
    ok &= writeSeed(folder, "program-49", 0x01 | (5 << 1), 0, record);
    ok &= writeSeed(folder, "program-50", 0x01 | (9 << 1), 0, cut(record, 50));
    ok &= writeSeed(folder, "program-490", 0x01 | (3 << 1), 0, bank);
    ok &= writeSeed(folder, "program-49-no-program", 0x01 | (12 << 1), 0, record);
    ok &= writeSeed(folder, "program-49-all-max", 0x01, 0, unitRecord);
    ok &= writeSeed(folder, "program-49-nan", 0x01 | (1 << 1), 0, nanRecord);
    ok &= writeSeed(folder, "program-49-declared-48", 0x01 | 0x20, 1, record);
    return ok ? 0 : 1;
}
