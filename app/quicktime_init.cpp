#include "app/quicktime_init.h"

#include "movie/movie_services.h"

CQuickTimeInit::CQuickTimeInit() {
    // Neither result stops the run: when QuickTime cannot serve the movie, the writer's first
    // call fails and the run reports that.
    EnterMovies();
    InitializeQTML(0);
}
