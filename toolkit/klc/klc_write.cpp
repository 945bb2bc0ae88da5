// klc_write.cpp
