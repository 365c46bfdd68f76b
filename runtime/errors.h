// The OSErr values the runtime answers with, by their QuickTime names.
#pragma once

#include "movie/movie_services.h"

namespace tarnwick::runtime {

constexpr OSErr dskFulErr = -34;      // the disk is full
constexpr OSErr ioErr = -36;          // a read or write failed
constexpr OSErr dupFNErr = -48;       // a file of that name exists already
constexpr OSErr paramErr = -50;       // an argument is out of range
constexpr OSErr permErr = -54;        // no permission
constexpr OSErr memFullErr = -108;    // out of memory
constexpr OSErr nilHandleErr = -109;  // a null or unknown handle
constexpr OSErr dirNFErr = -120;      // the folder does not exist
constexpr OSErr notAFileErr = -1302;  // a folder where a file was expected
constexpr OSErr couldNotResolveDataRef = -2000;
constexpr OSErr invalidMedia = -2008;
constexpr OSErr invalidTrack = -2009;
constexpr OSErr invalidMovie = -2010;
constexpr OSErr invalidDuration = -2014;
constexpr OSErr badDataRefIndex = -2050;
constexpr OSErr invalidComponentID = -3000;

}  // namespace tarnwick::runtime
