// CxFile's readers: the first four bytes of the input choose up to sixteen
// reads (a string into a small, a name-sized or a large buffer, an integer,
// a double), the rest is the file they read from.
#include <cstring>
#include <vector>

#include "FuzzFile.h"
#include "common/misc/CxFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static FuzzFile s_File("synchis.dat");
    if (nSize < 4) return 0;
    uint32_t nOps = uint32_t(pData[0]) | uint32_t(pData[1]) << 8 | uint32_t(pData[2]) << 16 | uint32_t(pData[3]) << 24;
    s_File.Write(pData + 4, nSize - 4);

    CxFile file;
    FUZZ_CHECK(file.Open(s_File.Path().c_str(), "rb"));
    FUZZ_CHECK(CxFile::GetFileSize(s_File.Path().c_str()) == long(nSize - 4));
    for (int i = 0; i < 16; ++i, nOps >>= 2) {
        static const size_t kSizes[] = {1, 8, 260, 4096};
        switch (nOps & 3) {
        case 0:
        case 1: {
            size_t nBuf = kSizes[(i + (nOps & 1) * 2) % 4];
            std::vector<char> buf(nBuf + 8, 'Z');
            int nLength = -12345;
            bool bOk = file.ReadString(buf.data(), nBuf, &nLength);
            if (bOk && nLength > 0) {
                FUZZ_CHECK(size_t(nLength) < nBuf && buf[size_t(nLength)] == '\0');
                for (size_t n = size_t(nLength) + 1; n < buf.size(); ++n) FUZZ_CHECK(buf[n] == 'Z');
            } else {
                for (char c : buf) FUZZ_CHECK(c == 'Z');  // untouched
            }
            break;
        }
        case 2: {
            int n = 7;
            if (!file.ReadInt(&n)) FUZZ_CHECK(n == 7);
            break;
        }
        default: {
            double d = 0.5;
            if (!file.ReadDouble(&d)) FUZZ_CHECK(d == 0.5);
            break;
        }
        }
    }
    file.Close();
    return 0;
}
