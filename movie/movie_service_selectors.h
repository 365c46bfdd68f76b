/* The routine selectors of the movie services: one line per routine that the program reaches
 * through QuickTime's dispatcher, with its selector (high 16 bits the routine group, low 16 bits
 * the routine's number) and the number of 32-bit stack words its caller pushes.
 *
 * Both sides of the dispatcher are built from this one list: the call stubs of qtml/ and the
 * dispatcher of our QuickTime.qts (runtime/dll). It is read by C++ and by the assembler, so it
 * holds nothing but macro calls and C comments. Define the macros, include this file, undefine:
 *
 *   QUICKTIME_ROUTINE(name, selector, argument words)  a routine the program calls by name
 *   QTML_ROUTINE(name, selector, argument words)       one of the runtime's own QTML routines,
 *                                                      which the program's loader calls
 *
 * No include guard: the file is meant to be included once per table. */

QUICKTIME_ROUTINE(CloseComponent, 0x00010008, 1)
QUICKTIME_ROUTINE(EnterMovies, 0x00020001, 0)
QUICKTIME_ROUTINE(DisposeMovie, 0x00020023, 1)
QUICKTIME_ROUTINE(GetMediaDuration, 0x0002006A, 1)
QUICKTIME_ROUTINE(BeginMediaEdits, 0x00020072, 1)
QUICKTIME_ROUTINE(EndMediaEdits, 0x00020073, 1)
QUICKTIME_ROUTINE(InsertMediaIntoTrack, 0x00020183, 5)
QUICKTIME_ROUTINE(NewMovieTrack, 0x00020188, 4)
QUICKTIME_ROUTINE(NewTrackMedia, 0x0002018E, 5)
QUICKTIME_ROUTINE(AddMediaDataRef, 0x00020198, 4)
QUICKTIME_ROUTINE(AddMediaSampleReferences64, 0x000202E8, 5)
QUICKTIME_ROUTINE(CreateMovieStorage, 0x0002038A, 7)
QUICKTIME_ROUTINE(CloseMovieStorage, 0x0002038C, 1)
QUICKTIME_ROUTINE(AddMovieToStorage, 0x0002038F, 2)
QUICKTIME_ROUTINE(QTNewDataReferenceFromFullPathCFString, 0x000203EA, 5)
QUICKTIME_ROUTINE(FixRatio, 0x00100001, 2)
QUICKTIME_ROUTINE(NewHandleClear, 0x0015000A, 1)
QUICKTIME_ROUTINE(DisposeHandle, 0x00150032, 1)
QTML_ROUTINE(InitializeQTML, 0x001D0008, 1)
QTML_ROUTINE(QTMLIsInitialized, 0x001D0059, 0)
QUICKTIME_ROUTINE(c2pstrcpy, 0x00280019, 2)
QUICKTIME_ROUTINE(CFRelease, 0x0032006C, 1)
QUICKTIME_ROUTINE(CFStringCreateWithCString, 0x003201DB, 3)
