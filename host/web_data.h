// The larger images, downloaded when the game first asks for them.
#pragma once

// Sets the image loader's hook: images it is told of that are not in the
// file system yet are fetched from the site, beside the page.
void orvFetchMissingImages();

// Whether any of them is still on its way: the game waits for it, as its
// loads cannot.
bool orvImagesOnTheirWay();
