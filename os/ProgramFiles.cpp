#include "os/ProgramFiles.h"

#include "os/UserFolder.h"

namespace tallymark {

bool KeepsFilesBesideProgram(const std::string& programDirectory, const std::string& ownFile)
{
    return CanMakeFilesIn(programDirectory) || !PathExists(programDirectory)
        || (!ownFile.empty() && CanWriteInPlace(ownFile));
}

} // namespace tallymark
