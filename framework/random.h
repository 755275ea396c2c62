// The one random generator (a linear congruential generator whose state is
// a public global, shared by gameplay and music) and the small math helpers.
#pragma once

// Any code may set it to repeat a sequence; the framework starts it at 1234.
extern int orv_random_Seed;

float orv_random_Rnd();                       // [0, 1)
float orv_random_Rnd2(float low, float high);  // low + Rnd × (high − low)
float orv_random_Rnd3(float range);           // Rnd × range

int orv_math_Abs(int x);  // the most negative int stays as it is
float orv_math_Abs2(float x);
int orv_math_Max(int a, int b);
float orv_math_Max2(float a, float b);  // b unless a is greater: b for a NaN a

// Trigonometry in degrees, as the game uses it: the angle goes to radians in
// single precision, the function runs in double and the result is a float.
float orv_math_Sin(float degrees);
float orv_math_Cos(float degrees);
float orv_math_ATan2(float y, float x);  // degrees
float orv_math_Sqrt(float x);
float orv_math_Floor(float x);
