// klc_image.cpp
