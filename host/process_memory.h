// How the program's memory is set up before anything else runs.
#pragma once

// Run first in the program's main. Image pixels, textures and decoded sounds
// are large blocks that come and go with every load: each is mapped on its
// own, so that it goes back to the system when freed, and in huge pages,
// since filling megabytes page by page costs a fault for every 4 KB (on a
// virtual machine, tens of milliseconds for one large texture). The C
// library takes the huge-page setting only at start, from its environment:
// the program starts itself once more with it set (and goes on as it is
// when that cannot be done).
void orvSetUpProcessMemory(char** argv);
