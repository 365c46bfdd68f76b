// Movie storage: the data handler through which a movie is stored in its file.
//
// A stored movie never appears half-written. CreateMovieStorage proves that the movie's folder
// takes new files by creating one beside the path and removing it again, so that a run stopped
// before its movie is stored leaves nothing behind, and leaves any old file of that name alone;
// AddMovieToStorage writes the whole movie into a new file, forces it to the disk and only then
// renames it over the path. A link at the path is replaced, never
// followed. A movie that is never stored leaves no file behind.
#include <memory>
#include <random>
#include <string>

#include "runtime/buffered_file_sink.h"
#include "runtime/data_references.h"
#include "runtime/errors.h"
#include "runtime/file_system.h"
#include "runtime/movie_file_writer.h"
#include "runtime/no_throw.h"
#include "runtime/registry.h"

struct ComponentInstanceRecord {
    std::string moviePath;  // absolute
    bool mayReplace = false;
    bool open = true;
    std::string newFilePath;  // the file being prepared beside the movie's path, if any
    std::unique_ptr<tarnwick::runtime::NewFile> newFile;
};

namespace tarnwick::runtime {
namespace {

Registry<ComponentInstanceRecord>& DataHandlers() {
    static Registry<ComponentInstanceRecord> handlers;
    return handlers;
}

// The folder part of a path, separator included ("" when there is none).
std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Creates a new file with an unused name in the movie's folder.
OSErr PrepareNewFile(ComponentInstanceRecord& handler) {
    static std::mt19937_64 names{std::random_device{}()};
    OSErr error = ioErr;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = FolderOf(handler.moviePath) + ".tarnwick-" +
                                 std::to_string(names() % 1000000000) + ".part";
        handler.newFile = CreateNewFile(path, error);
        if (handler.newFile) {
            handler.newFilePath = path;
            return noErr;
        }
        if (error != dupFNErr) {
            return error;
        }
    }
    return error;
}

void DiscardNewFile(ComponentInstanceRecord& handler) {
    if (handler.newFile) {
        handler.newFile.reset();
        RemoveFile(handler.newFilePath);
    }
    handler.newFilePath.clear();
}

// What may stand at the movie's path before the movie is stored there.
OSErr CheckMoviePath(const std::string& path, bool mayReplace) {
    switch (LookUpEntry(path)) {
        case EntryKind::Missing:
            return noErr;
        case EntryKind::Folder:
            return notAFileErr;
        default:
            return mayReplace ? noErr : dupFNErr;
    }
}

OSErr StoreMovie(const MovieRecord& movie, ComponentInstanceRecord& handler) {
    if (!handler.newFile) {
        if (const OSErr error = PrepareNewFile(handler); error != noErr) {
            return error;
        }
    }
    BufferedFileSink sink(*handler.newFile);
    OSErr error = WriteMovieFile(movie, handler.moviePath, sink);
    if (error == noErr) {
        error = sink.Flush();
    }
    if (error == noErr) {
        error = handler.newFile->Finish();
    }
    if (error == noErr) {
        error = RenameFile(handler.newFilePath, handler.moviePath, handler.mayReplace);
    }
    if (error != noErr) {
        DiscardNewFile(handler);
        return error;
    }
    handler.newFile.reset();
    handler.newFilePath.clear();
    handler.mayReplace = true;  // the file at the path is now this storage's own
    return noErr;
}

}  // namespace
}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

// The creator, script and resource file flag have no meaning for the files made here.
extern "C" OSErr CreateMovieStorage(Handle dataRef, OSType dataRefType, OSType, ScriptCode,
                                    std::int32_t createMovieFileFlags, DataHandler* outDataHandler,
                                    Movie* newmovie) {
    if (outDataHandler == nullptr || newmovie == nullptr) {
        return paramErr;
    }
    *outDataHandler = nullptr;
    *newmovie = nullptr;
    const std::optional<std::string> path = FindDataReferencePath(dataRef, dataRefType);
    if (!path) {
        return nilHandleErr;
    }
    return NoThrow<OSErr>(memFullErr, [&] {
        auto handler = std::make_unique<ComponentInstanceRecord>();
        handler->moviePath = *path;
        handler->mayReplace = (createMovieFileFlags & createMovieFileDeleteCurFile) != 0;
        OSErr error = CheckMoviePath(handler->moviePath, handler->mayReplace);
        if (error == noErr) {
            error = PrepareNewFile(*handler);
        }
        DiscardNewFile(*handler);
        Movie movie = error == noErr ? NewEmptyMovie() : nullptr;
        if (error != noErr || movie == nullptr) {
            return error != noErr ? error : memFullErr;
        }
        *outDataHandler = DataHandlers().Add(std::move(handler));
        *newmovie = movie;
        return noErr;
    });
}

extern "C" OSErr AddMovieToStorage(Movie theMovie, DataHandler dh) {
    const MovieRecord* movie = FindMovie(theMovie);
    ComponentInstanceRecord* handler = DataHandlers().Find(dh);
    if (movie == nullptr) {
        return invalidMovie;
    }
    if (handler == nullptr) {
        return invalidComponentID;
    }
    if (!handler->open) {
        return paramErr;
    }
    return NoThrow<OSErr>(memFullErr, [&] { return StoreMovie(*movie, *handler); });
}

extern "C" OSErr CloseMovieStorage(DataHandler dh) {
    ComponentInstanceRecord* handler = DataHandlers().Find(dh);
    if (handler == nullptr) {
        return invalidComponentID;
    }
    DiscardNewFile(*handler);
    handler->open = false;
    return noErr;
}

extern "C" OSErr CloseComponent(ComponentInstance aComponentInstance) {
    ComponentInstanceRecord* handler = DataHandlers().Find(aComponentInstance);
    if (handler == nullptr) {
        return invalidComponentID;
    }
    DiscardNewFile(*handler);
    DataHandlers().Remove(aComponentInstance);
    return noErr;
}
