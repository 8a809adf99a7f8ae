#include "psk/psk_sequence_file.h"

#include "archive/binary_file.h"
#include "platform/shell/shell.h"

std::string pskSequenceName(const std::string& textureFile)
{
    return textureFile.substr(0, textureFile.size() - 3) + "seq";
}

std::optional<std::string> readPskSequenceFile(const std::string& sequenceName)
{
    // Only a regular file counts: a folder, pipe or device of that name is no sequence.
    std::optional<BinaryFile> file = BinaryFile::open(sequenceName);
    if (!file)
        return std::nullopt;
    std::string text(file->size(), '\0');
    if (!file->readAt(0, text.data(), text.size()))
        failWithMessage("Error", "Error reading sequence file to memory!", 0);
    return text;
}
