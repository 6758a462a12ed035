// A file of length-prefixed strings, 4-byte integers, 8-byte doubles (all in
// the machine's little-endian order) and text lines.
#pragma once

#include <cstddef>
#include <cstdio>

class CxFile {
public:
    CxFile();
    virtual ~CxFile();  // closes the file

    CxFile(const CxFile&) = delete;
    CxFile& operator=(const CxFile&) = delete;

    // Opens szPath with a stream mode ("rb", "wb", "ab"), closing any file
    // open before. A file is opened to read or to write, not both: reads are
    // buffered, writes go unbuffered through the file layer (WinFileIo.h). False when either is missing or empty, or the open fails.
    bool Open(const char* szPath, const char* szMode);
    // Closes the file when one is open; always true.
    bool Close();
    bool IsOpen() const { return m_fp != nullptr; }
    // Pushes everything written so far to the disk (the stream's buffer,
    // then the system's); false when no file is open or either step fails.
    bool Flush();

    // Reads a 32-bit length and, when it is above 0, that many bytes into
    // szBuf followed by a NUL. A length of 0 or less leaves szBuf untouched.
    // *pnLength (when given) gets the length read. False, with szBuf
    // untouched, when no file is open, no buffer is given, the file ends
    // inside the length or the text, or the text does not fit in nBufSize
    // bytes with its NUL.
    bool ReadString(char* szBuf, size_t nBufSize, int* pnLength = nullptr);
    // The same for a character array, whose size is known.
    template <size_t N>
    bool ReadString(char (&szBuf)[N], int* pnLength = nullptr) {
        return ReadString(szBuf, N, pnLength);
    }
    // Read 4 and 8 bytes. False, destination untouched, when no file is open,
    // no destination is given or the file ends first.
    bool ReadInt(int* pnValue);
    bool ReadDouble(double* pdValue);

    // Writes the text's length as a 32-bit integer, then its bytes; a missing
    // or empty text writes a length of 0 only.
    bool WriteString(const char* szText);
    bool WriteInt(int nValue);
    bool WriteDouble(double dValue);
    // Writes the text and CR LF; a missing text writes an empty line.
    bool WriteLine(const char* szText);
    // (Each write is false when no file is open or not all bytes were written.)

    // The file's size in bytes; -1 when the path is missing or empty, or the
    // file cannot be opened for reading.
    static long GetFileSize(const char* szPath);

private:
    bool ReadBytes(void* pDst, size_t nLen);
    bool WriteBytes(const void* pSrc, size_t nLen);

    FILE* m_fp;
};
