// A test-only answer to the movie services: it records every call with its arguments, in a form
// a test can compare line by line, and fails the routines a test names.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "movie/movie_services.h"

struct MovieServiceRecording {
    // One line per call, e.g. "NewMovieTrack(movie, 0x7800000, 0x4380000, 0)". References are
    // written by name: movie, track, media, handler, text, outputRef, sourceRef, description.
    std::vector<std::string> calls;
    // Routines that fail: their OSErr result, or a null reference for routines that return one.
    std::map<std::string, OSErr> failing;
    // Every sample reference record handed over, as received.
    std::vector<SampleReference64Record> samples;
    // The sample description as it stood at EndMediaEdits.
    ImageDescription description{};
    // What InsertMediaIntoTrack was given and GetMediaDuration answers.
    TimeValue mediaDuration = 0;
};

// Starts a new recording; the previous one is forgotten.
MovieServiceRecording& StartRecording();
MovieServiceRecording& Recording();
