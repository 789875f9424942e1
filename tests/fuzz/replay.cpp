// Runs every input of the corpus folders named on the command line through a
// fuzz target, for builds without libFuzzer: the targets' invariants are then
// checked on the committed inputs by every build's tests.

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const QFileInfo &input : QDir(QFile::decodeName(argv[i])).entryInfoList(QDir::Files)) {
            QFile file(input.filePath());
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(input.fileName()));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    return inputs == 0;   // an empty or misnamed folder checks nothing
}
