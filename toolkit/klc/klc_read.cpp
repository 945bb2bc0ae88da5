// klc_read.cpp
