// The end-to-end tests record the sound server's sink with the platform tests' recorder.
#include "../platform/MonitorRecorder.cpp"
