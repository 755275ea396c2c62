// Paths, whole-file loads and the stored-state file.
#include <cstdlib>

#include "host/host_game.h"

int OrvGame::SaveState(String) { return -1; }
String OrvGame::LoadState() { return String(); }
String OrvGame::LoadString(String) { return String(); }
std::FILE* OrvGame::OpenFile(String, String) { return nullptr; }
unsigned char* OrvGame::LoadData(String, int*) { return nullptr; }
String OrvGlfwGame::PathToFilePath(String path) { return path; }
void OrvGlfwGame::OpenUrl(String) {}
unsigned char* OrvGlfwGame::LoadImageData(String, int*, int*, int*) { return nullptr; }
unsigned char* OrvGlfwGame::LoadAudioData(String, int*, int*, int*, int*) { return nullptr; }
