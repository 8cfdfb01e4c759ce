// Platforms without the private-profile functions use the portable store.

#include "settings/PortableProfileStore.h"

namespace tallymark {

std::unique_ptr<ProfileStore> SystemProfileStore()
{
    return std::make_unique<PortableProfileStore>();
}

} // namespace tallymark
