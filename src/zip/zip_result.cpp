#include "zip/zip_result.h"

std::string ZipResultText(ZipResult code) {
  switch (code) {
    case ZipResult::Ok: return "Success";
    case ZipResult::CannotDuplicateHandle: return "Culdn't duplicate handle";
    case ZipResult::CannotOpenFile: return "Couldn't create/open file";
    case ZipResult::OutOfMemory: return "Failed to allocate memory";
    case ZipResult::WriteError: return "Error writing to file";
    case ZipResult::NotFound: return "File not found in the zipfile";
    case ZipResult::MoreData: return "Still more data to unzip";
    case ZipResult::Corrupt: return "Zipfile is corrupt or not a zipfile";
    case ZipResult::ReadError: return "Error reading file";
    case ZipResult::Cancelled: return "Extraction cancelled";
    case ZipResult::BadArguments: return "Caller: faulty arguments";
    case ZipResult::PartiallyUnzipped: return "Caller: the file had already been partially unzipped";
    case ZipResult::NotMemoryArchive: return "Caller: can only get memory of a memory zipfile";
    case ZipResult::MemorySizeTooSmall: return "Caller: not enough space allocated for memory zipfile";
    case ZipResult::PreviousError: return "Caller: there was a previous error";
    case ZipResult::AlreadyEnded: return "Caller: additions to the zip have already been ended";
    case ZipResult::MixedModes: return "Caller: mixing creation and opening of zip";
    case ZipResult::NotInitialised: return "Zip-bug: internal initialisation not completed";
    case ZipResult::SeekUnseekable: return "Zip-bug: trying to seek the unseekable";
    case ZipResult::SizeMismatch: return "Zip-bug: the anticipated size turned out wrong";
    case ZipResult::ChangeNotAllowed: return "Zip-bug: tried to change mind, but not allowed";
    case ZipResult::FlationError: return "Zip-bug: an internal error during flation";
    case ZipResult::ArchiveReadError:
      return "The end of the zip directory cannot be found or read: not a zipfile, cut short or unreadable";
    case ZipResult::BadArchive:
      return "Zipfile spans several volumes, or its directory does not fit before its end record";
    default: return "unknown zip result code " + std::to_string(static_cast<std::int32_t>(code));
  }
}
