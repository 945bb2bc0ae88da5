// klc_defaults.cpp
