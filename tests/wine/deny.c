/*
 * deny.c - exits with code 2, as net.exe and fltmc.exe do for a user who is
 * not an administrator ("Access is denied").  The installer test puts it in
 * their place to see the scripts refuse such a user.
 */
int main(void)
{
    return 2;
}
