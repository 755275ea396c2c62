// The game object. For now it only starts the fixed 60 Hz update rate.
#pragma once
#include "framework/app.h"

class c_MyApp : public c_App {
public:
    c_MyApp* m_new();
    int p_OnCreate() override;
};

void orvMarkGameRoots();
