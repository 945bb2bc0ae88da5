// klc_module.cpp
