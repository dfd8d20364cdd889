namespace vendaro::test {

bool RunningUnderWine() {
    return false;
}

}  // namespace vendaro::test
