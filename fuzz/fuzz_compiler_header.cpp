// The compiler's first bytes: every input gets a kind, a problem text exactly when the kind is
// Unknown, and the same kind whichever way the file's bytes are handed over.

#include "FuzzSupport.h"

#include "build/CompilerKind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the file's name; the rest is the file.
    static const char* const names[] = {"TP3", "TP3.EXE", "tp3.com", "Tp3.Exe"};
    const QString name = QString::fromLatin1(names[data[0] % 4]);
    const QByteArray bytes = fuzz::Bytes(data + 1, size - 1);

    const tarvel::CompilerHeader header = tarvel::InspectCompilerHeader(bytes, bytes.size(), name);
    FUZZ_CHECK(header.kind != tarvel::CompilerKind::Missing, name);
    FUZZ_CHECK(header.problem.isEmpty() == (header.kind != tarvel::CompilerKind::Unknown), header.problem);
    FUZZ_CHECK(tarvel::CompilerKindOfHeader(bytes, name) == header.kind, name);

    // Only the first bytes are read: a file longer than what was read gets a kind too, and a
    // Windows header within what was read is found whatever follows.
    const tarvel::CompilerHeader longer = tarvel::InspectCompilerHeader(bytes, bytes.size() + 100000, name);
    FUZZ_CHECK(longer.problem.isEmpty() == (longer.kind != tarvel::CompilerKind::Unknown), longer.problem);
    if (header.kind == tarvel::CompilerKind::Windows)
        FUZZ_CHECK(longer.kind == tarvel::CompilerKind::Windows, fuzz::Printable(longer.problem));
    return 0;
}
