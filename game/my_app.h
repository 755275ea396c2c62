// The game object. For now it starts the fixed 60 Hz update rate and shows
// the title in the default font.
#pragma once
#include "framework/app.h"

class c_MyApp : public c_App {
public:
    c_MyApp* m_new();
    int p_OnCreate() override;
    int p_OnRender() override;
};

void orvMarkGameRoots();
