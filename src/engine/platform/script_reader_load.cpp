// Finding a text data file by name. Kept apart from the decoding so that the reader itself needs no file
// layer (tests and fuzzing feed it images directly).
#include "engine/platform/data_files.h"
#include "engine/platform/script_reader.h"

namespace engine {

int ScriptReader::Load(const char* name) {
    WideString base(name);
    base.DropExtension();
    for (const char* extension : {".TXT", ".CSV"}) {
        std::size_t size = 0;
        const auto image = LoadWholeFile(WideString(base, extension), size);
        if (image != nullptr) return LoadFromImage(image.get(), size, name);
    }
    return 0;
}

}  // namespace engine
